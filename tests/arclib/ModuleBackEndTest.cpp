// The module's own path: TArchiveFile with its back-ends packs real files
// through our libraries (found by bare name on the search path), relays
// their progress, and MakeSfx makes programs that unpack themselves.
#include <cstdlib>
#include <filesystem>

#include "ArcTestKit.h"
#include "archives/ArchiveFile.h"
#include "archives/Archiver.h"
#include "archives/Exceptions.h"
#include "support/Cp932.h"

namespace fs = std::filesystem;
using arctest::Sh;
using arctest::Tool;

namespace {

struct Format {
  const char* ext;
  // Unpacks archive (a POSIX path) into dir with an independent tool.
  const char* unpack;
  bool cp932Names;  // the tool writes the names as stored: code page 932
};

const Format kFormats[] = {
    {".lzh", "cd DIR && lha xq ARC", true},
    {".zip", "LC_ALL=C.UTF-8 unzip -q ARC -d DIR", false},
    {".cab", "LC_ALL=C.UTF-8 cabextract -q -d DIR ARC", false},
    {".tgz", "tar xzf ARC -C DIR", false},
    {".bz2", "tar xjf ARC -C DIR", false},
};

class ModuleBackEnds : public ::testing::TestWithParam<Format> {
 protected:
  void SetUp() override {
    arctest::WriteTree(P("src"), arctest::SampleTree());
    fs::create_directories(P("out"));
    fs::create_directories(P("x"));
  }
  std::string P(const std::string& relative) const { return drive.Path() + "/" + relative; }
  std::string Archive() const { return std::string("C:\\out\\a") + GetParam().ext; }
  std::string ArchivePosix() const { return P(std::string("out/a") + GetParam().ext); }
  arctest::Tree Unpacked(const std::string& archivePosix) {
    std::string command = GetParam().unpack;
    command.replace(command.find("DIR"), 3, Sh(P("x")));
    command.replace(command.find("ARC"), 3, Sh(archivePosix));
    const auto r = Tool(command);
    EXPECT_EQ(r.status, 0) << command << "\n" << r.output;
    return arctest::ReadTree(P("x"));
  }
  arctest::Tree Expected(const arctest::Tree& tree) const {
    if (!GetParam().cp932Names) return tree;
    arctest::Tree out;
    for (const auto& [name, content] : tree) out[vxtest::Sjis(name)] = content;
    return out;
  }
  // The dialog's whole-folder mode: x = 1, gw = 3, names below the base.
  int PackFolder(vx::TArchiveFile& file) {
    file.SetFileName(Archive());
    file.Options().gw = 3;
    file.SetOutputSize(8192);
    file.Options().x = 1;
    vx::TStringList files;
    for (const auto& [name, content] : arctest::SampleTree()) {
      std::string win = vxtest::Sjis(name);
      for (char& c : win)
        if (c == '/') c = '\\';
      files.push_back(win);
    }
    return file.Pack(nullptr, nullptr, "C:\\src", &files);
  }

  vxtest::DriveC drive;
  arctest::BinOnPath path;
};

TEST_P(ModuleBackEnds, WholeFolderPackingKeepsTheTree) {
  vx::TArchiveFile file(nullptr);
  ASSERT_EQ(PackFolder(file), 0) << file.CommandLine() << "\n" << vxtest::Utf8(file.GetOutput());
  EXPECT_NE(vxtest::Utf8(file.GetOutput()).find("readme.txt"), std::string::npos);
  EXPECT_EQ(arctest::TreeDiff(Unpacked(ArchivePosix()), Expected(arctest::SampleTree())), "") << file.CommandLine();
}

TEST_P(ModuleBackEnds, NormalAttachStoresBareNames) {
  vx::TArchiveFile file(nullptr);
  file.SetFileName(Archive());
  file.Options().gw = 3;
  file.SetOutputSize(8192);
  file.Options().x = 0;
  const vx::TStringList files{"C:\\src\\top.txt", vxtest::Sjis("C:\\src\\docs\\日本語ファイル.txt")};
  ASSERT_EQ(file.Pack(nullptr, nullptr, "", &files), 0) << file.CommandLine() << "\n" << vxtest::Utf8(file.GetOutput());
  EXPECT_EQ(arctest::TreeDiff(Unpacked(ArchivePosix()),
                              Expected({{"top.txt", "hello\n"}, {"日本語ファイル.txt", "日本語の内容\n"}})),
            "")
      << file.CommandLine();
}

TEST_P(ModuleBackEnds, ProgressIsRelayedAndAbortStops) {
  vx::TArchiveFile file(nullptr);
  int begins = 0;
  file.OnProgress = [&](vx::TObject*, int32_t state, LPEXTRACTINGINFOEX info, bool&) {
    if (state == ARCEXTRACT_BEGIN) {
      ++begins;
      EXPECT_NE(info, nullptr);
    }
  };
  ASSERT_EQ(PackFolder(file), 0) << file.CommandLine();
  EXPECT_EQ(begins, 5) << file.CommandLine();
  fs::remove(ArchivePosix());
  file.OnProgress = [](vx::TObject*, int32_t state, LPEXTRACTINGINFOEX, bool& abort) {
    abort = state == ARCEXTRACT_BEGIN;
  };
  EXPECT_EQ(PackFolder(file), ARCERR_USER_CANCEL) << file.CommandLine();
  EXPECT_FALSE(fs::exists(ArchivePosix()));
}

TEST_P(ModuleBackEnds, MakeSfxMakesAProgramThatUnpacksItself) {
  vx::TArchiveFile file(nullptr);
  ASSERT_EQ(PackFolder(file), 0);
  if (std::string(GetParam().ext) == ".bz2") {
    EXPECT_THROW(file.MakeSfx(nullptr, nullptr, "C:\\sfx\\"), vx::EArchiver);
    return;
  }
  fs::create_directories(P("sfx"));
  ASSERT_EQ(file.MakeSfx(nullptr, nullptr, "C:\\sfx\\"), 0) << file.CommandLine() << "\n" << vxtest::Utf8(file.GetOutput());
  std::string program;
  for (const auto& e : fs::directory_iterator(P("sfx"))) program = e.path().string();
  ASSERT_FALSE(program.empty());
  EXPECT_EQ(arctest::UpperAsciiOf(fs::path(program).filename().string()), "A.EXE");
  // The TAR back-end joins stub and archive itself, as plain data.
  fs::permissions(program, fs::perms::owner_exec, fs::perm_options::add);
  const auto run = Tool("cd " + Sh(P("x")) + " && " + Sh(program));
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("x")), arctest::SampleTree()), "");
  if (std::string(GetParam().ext) == ".zip") {
    EXPECT_EQ(Tool("unzip -tq " + Sh(program)).status, 0);
  }
}

TEST_P(ModuleBackEnds, BackEndExtractionAndListingReadWhatWasPacked) {
  vx::TArchiveFile file(nullptr);
  ASSERT_EQ(PackFolder(file), 0);
  vx::TArchiver& archiver = *file.Archiver();
  vx::TArchiverOptions options;
  std::string output(4096, '\0');
  ASSERT_EQ(archiver.Extract(nullptr, Archive(), options, "C:\\e", nullptr, false, output), 0)
      << archiver.CmdLine << "\n" << vxtest::Utf8(output.c_str());
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("e")), arctest::SampleTree()), "") << archiver.CmdLine;
  HARC h = archiver.OpenArchive(nullptr, Archive(), M_ERROR_MESSAGE_OFF | M_REGARDLESS_INIT_FILE);
  ASSERT_NE(h, nullptr);
  INDIVIDUALINFO info;
  int files = 0;
  for (int r = archiver.FindFirst(h, &info, "*"); r == 0; r = archiver.FindNext(h, &info))
    files += (std::string(info.szAttribute).find('d') == std::string::npos) ? 1 : 0;
  EXPECT_EQ(archiver.CloseArchive(h), 0);
  EXPECT_EQ(files, 5);
  EXPECT_TRUE(archiver.CheckArchive(Archive(), CHECKARCHIVE_FULLCRC, 0));
}

INSTANTIATE_TEST_SUITE_P(Formats, ModuleBackEnds, ::testing::ValuesIn(kFormats),
                         [](const ::testing::TestParamInfo<Format>& info) { return std::string(info.param.ext + 1); });

}  // namespace
