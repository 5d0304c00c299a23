// tar32.dll: packing read back by tar and bsdtar, extraction of what GNU tar
// packed, unsafe members, damaged archives, bad command lines and inputs,
// listings, archive types and progress.
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "ArcTestKit.h"
#include "platform/posix/vxposix.h"
#include "support/Cp932.h"

namespace fs = std::filesystem;
using arctest::Call;
using arctest::Sh;
using arctest::Tool;

namespace {

// The sample tree below C:\src, C:\out for results; tar32.dll loaded.
class TarLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    arctest::WriteTree(P("src"), arctest::SampleTree());
    fs::create_directories(P("out"));
  }
  std::string P(const std::string& relative) const { return drive.Path() + "/" + relative; }
  // Packs the whole sample tree with relative paths.
  arctest::CommandResult PackSample(const std::string& archive, const std::string& switches) {
    return Call(tar, "c --use-directory=1 " + switches + "  -f \"C:\\out\\" + archive +
                        "\" -o \"C:\\src\\\" \"top.txt\" \"docs\\readme.txt\" \"docs\\日本語ファイル.txt\" "
                        "\"data\\random.bin\" \"data\\sub\\empty.txt\" ");
  }

  vxtest::DriveC drive;
  arctest::RealLibrary lib{"tar32.dll"};
  TArcCommandProc tar = lib.Entry<TArcCommandProc>("Tar");
};

struct PackCase {
  const char* archive;
  const char* switches;
  const char* listOption;
};

class TarPacking : public TarLibrary, public ::testing::WithParamInterface<PackCase> {};

TEST_P(TarPacking, StoresRelativePathsThatTarAndBsdtarReadBack) {
  const PackCase& c = GetParam();
  const auto r = PackSample(c.archive, c.switches);
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_NE(r.output.find("docs/日本語ファイル.txt"), std::string::npos) << r.output;
  const std::string archive = P(std::string("out/") + c.archive);
  const auto list = Tool(std::string("tar -t") + c.listOption + "f " + Sh(archive) + " | sort");
  ASSERT_EQ(list.status, 0) << list.output;
  EXPECT_EQ(list.output,
            "data/random.bin\ndata/sub/empty.txt\ndocs/readme.txt\ndocs/日本語ファイル.txt\ntop.txt\n");
  fs::create_directories(P("x"));
  const auto x = Tool("bsdtar -xf " + Sh(archive) + " -C " + Sh(P("x")));
  ASSERT_EQ(x.status, 0) << x.output;
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("x")), arctest::SampleTree()), "");
}

INSTANTIATE_TEST_SUITE_P(Kinds, TarPacking,
                         ::testing::Values(PackCase{"a.tar", "", ""}, PackCase{"a.tgz", "-z", "z"},
                                           PackCase{"b.tgz", "-z9", "z"}, PackCase{"a.tar.bz2", "-B", "j"},
                                           PackCase{"b.bz2", "-B1", "j"}));

TEST_F(TarLibrary, CompressionLevelsChangeTheSize) {
  ASSERT_EQ(PackSample("1.tgz", "-z1").code, 0);
  ASSERT_EQ(PackSample("9.tgz", "-z9").code, 0);
  EXPECT_LT(fs::file_size(P("out/9.tgz")), fs::file_size(P("out/1.tgz")));
  EXPECT_NE(Call(tar, "c -z12 -f \"C:\\out\\c.tgz\" \"C:\\src\\top.txt\"").code, 0);
}

TEST_F(TarLibrary, WithoutDirectoriesStoresBareNames) {
  const auto r = Call(tar, "c --use-directory=0 -z  -f \"C:\\out\\a.tgz\" \"C:\\src\\docs\\readme.txt\" "
                          "\"C:\\src\\top.txt\" ");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(Tool("tar -tzf " + Sh(P("out/a.tgz"))).output, "readme.txt\ntop.txt\n");
}

TEST_F(TarLibrary, FullPathsWithoutBaseKeepThePathBelowTheDrive) {
  ASSERT_EQ(Call(tar, "c -f \"C:\\out\\a.tar\" \"C:\\src\\top.txt\"").code, 0);
  EXPECT_EQ(Tool("tar -tf " + Sh(P("out/a.tar"))).output, "src/top.txt\n");
}

TEST_F(TarLibrary, ADirectoryBringsItsTreeAndWildcardsMatchNames) {
  ASSERT_EQ(Call(tar, "c -f \"C:\\out\\a.tar\" -o \"C:\\src\" \"docs\" \"*.txt\"").code, 0);
  EXPECT_EQ(Tool("tar -tf " + Sh(P("out/a.tar"))).output,
            "docs/\ndocs/readme.txt\ndocs/日本語ファイル.txt\ntop.txt\n");
}

TEST_F(TarLibrary, ExtractsWhatGnuTarPackedWithOrWithoutPaths) {
  ASSERT_EQ(Tool("tar czf " + Sh(P("in.tgz")) + " -C " + Sh(P("src")) + " .").status, 0);
  auto r = Call(tar, "x -f \"C:\\in.tgz\" -o \"C:\\x\\\"");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("x")), arctest::SampleTree()), "");
  r = Call(tar, "x --use-directory=0 -f \"C:\\in.tgz\" -o \"C:\\y\\\" \"*.txt\"");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(arctest::ListDir(P("y")),
            (std::vector<std::string>{"empty.txt", "readme.txt", "top.txt", "日本語ファイル.txt"}));
}

TEST_F(TarLibrary, RefusesMembersThatLeaveTheDestinationAndFollowsNoLinks) {
  fs::create_directories(P("outside"));
  fs::create_directories(P("x"));
  fs::create_directory_symlink(P("outside"), P("x/pre"));
  const std::string script =
      "import tarfile, io\n"
      "t = tarfile.open(" + Sh(P("evil.tar")) + ", 'w', format=tarfile.GNU_FORMAT)\n"
      "def add(name, data=b'bad', kind=tarfile.REGTYPE, link=''):\n"
      "    ti = tarfile.TarInfo(name); ti.type = kind; ti.linkname = link\n"
      "    ti.size = len(data) if kind == tarfile.REGTYPE else 0\n"
      "    t.addfile(ti, io.BytesIO(data) if kind == tarfile.REGTYPE else None)\n"
      "add('../evil1.txt'); add('/abs/rooted.txt', b'in'); add('C:/drive.txt', b'in'); add('ok.txt', b'fine')\n"
      "add('link', kind=tarfile.SYMTYPE, link=" + Sh(P("outside")) + "); add('link/evil4.txt')\n"
      "add('pre/evil5.txt'); add('sub/../../evil6.txt'); add('/../evil7.txt'); add('/abs/two.txt', b'in')\n"
      "t.close()\n";
  ASSERT_EQ(Tool("python3 -c " + Sh(script)).status, 0);
  const auto r = Call(tar, "x -f \"C:\\evil.tar\" -o \"C:\\x\\\"");
  EXPECT_EQ(r.code, 0x8013) << r.output;
  for (const char* name : {"../evil1.txt", "pre/evil5.txt", "sub/../../evil6.txt", "/../evil7.txt"})
    EXPECT_NE(r.output.find(std::string("Refused: ") + name), std::string::npos) << name << "\n" << r.output;
  // Rooted names land below the destination, each root said once.
  EXPECT_EQ(arctest::Count(r.output, "Removed the leading \"/\" from member names"), 1u) << r.output;
  EXPECT_EQ(arctest::Count(r.output, "Removed the leading \"C:/\" from member names"), 1u) << r.output;
  EXPECT_EQ(drive.ReadFile("x/abs/rooted.txt"), "in");
  EXPECT_EQ(drive.ReadFile("x/abs/two.txt"), "in");
  EXPECT_EQ(drive.ReadFile("x/drive.txt"), "in");
  EXPECT_TRUE(fs::is_empty(P("outside")));
  EXPECT_FALSE(fs::exists(P("evil1.txt")));
  EXPECT_FALSE(fs::exists(P("evil7.txt")));
  EXPECT_EQ(drive.ReadFile("x/ok.txt"), "fine");
  EXPECT_FALSE(fs::is_symlink(P("x/link")));
}

TEST_F(TarLibrary, DamagedArchivesGiveAnErrorCode) {
  ASSERT_EQ(PackSample("good.tgz", "-z").code, 0);
  const std::string good = drive.ReadFile("out/good.tgz");
  drive.WriteFile("cut.tgz", good.substr(0, good.size() / 2));
  std::string flipped = good;
  for (size_t i = 100; i < flipped.size(); i += 97) flipped[i] = static_cast<char>(~flipped[i]);
  drive.WriteFile("flipped.tgz", flipped);
  drive.WriteFile("garbage.tgz", arctest::RandomBytes(5000, 3));
  auto check = lib.Entry<TArcCheckArchiveProc>("TarCheckArchive");
  EXPECT_TRUE(check(vxtest::Sjis("C:\\out\\good.tgz").c_str(), 0));
  for (const char* name : {"cut.tgz", "flipped.tgz", "garbage.tgz"}) {
    const auto r = Call(tar, std::string("x -f \"C:\\") + name + "\" -o \"C:\\x\\\"");
    EXPECT_GE(r.code, 0x8000) << name;
    EXPECT_FALSE(check((std::string("C:\\") + name).c_str(), 0)) << name;
  }
}

struct BadLine {
  const char* line;
  const char* named;
};

class TarBadLines : public TarLibrary, public ::testing::WithParamInterface<BadLine> {};

TEST_P(TarBadLines, GiveAnErrorCodeAndAReportNamingTheProblem) {
  const auto r = Call(tar, GetParam().line);
  EXPECT_GE(r.code, 0x8000);
  EXPECT_NE(r.output.find(GetParam().named), std::string::npos) << r.output;
  EXPECT_TRUE(fs::is_empty(P("out")));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, TarBadLines,
    ::testing::Values(BadLine{"c -Q -f \"C:\\out\\a.tar\" \"C:\\src\\top.txt\"", "-Q"},
                      BadLine{"c --use-directory=x -f \"C:\\out\\a.tar\" \"C:\\src\\top.txt\"", "--use-directory=x"},
                      BadLine{"c -f \"C:\\out\\a.tar \"C:\\src\\top.txt\"", "quote"},
                      BadLine{"q -f \"C:\\out\\a.tar\" \"C:\\src\\top.txt\"", "q"},
                      BadLine{"c \"C:\\src\\top.txt\"", "-f"}, BadLine{"c -f", "-f"},
                      BadLine{"", "command"},
                      BadLine{"c -f \"C:\\out\\a.tar\" \"C:\\src\\nothere.txt\"", "nothere.txt"},
                      BadLine{"c -f \"C:\\out\\a.tar\" \"C:\\src\\*.none\"", "*.none"},
                      BadLine{"c -f \"C:\\out\\a.tar\" \"@C:\\nolist.txt\"", "nolist.txt"}));

TEST_F(TarLibrary, AFailedPackLeavesTheOldArchiveInPlace) {
  ASSERT_EQ(Call(tar, "c -f \"C:\\out\\a.tar\" \"C:\\src\\top.txt\"").code, 0);
  const std::string before = drive.ReadFile("out/a.tar");
  const auto r = Call(tar, "c -f \"C:\\out\\a.tar\" \"C:\\src\\top.txt\" \"C:\\src\\gone.txt\"");
  EXPECT_EQ(r.code, ARCERR_FILE_OPEN);
  EXPECT_NE(r.output.find("gone.txt"), std::string::npos);
  EXPECT_EQ(drive.ReadFile("out/a.tar"), before);
  EXPECT_EQ(arctest::ListDir(P("out")), std::vector<std::string>{"a.tar"});
}

// Plain, and through the compressing stages, whose output reaches the
// disk later than libarchive's.
TEST_F(TarLibrary, AFullDiskGivesTheDiskCodeAndKeepsTheOldArchive) {
  for (const char* switches : {"", "-z", "-z1", "-B", "-B1"}) {
    SCOPED_TRACE(switches);
    ASSERT_EQ(Call(tar, "c -f \"C:\\out\\a.tar\" \"C:\\src\\top.txt\"").code, 0);
    const std::string before = drive.ReadFile("out/a.tar");
    struct rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 30000;
    setrlimit(RLIMIT_FSIZE, &small);
    const auto r = Call(tar, std::string("c ") + switches + " -f \"C:\\out\\a.tar\" \"C:\\src\\data\\random.bin\"");
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(r.code, ARCERR_DISK_SPACE) << r.output;
    EXPECT_EQ(drive.ReadFile("out/a.tar"), before);
    EXPECT_EQ(arctest::ListDir(P("out")), std::vector<std::string>{"a.tar"});
  }
}

TEST_F(TarLibrary, ResponseFilesNameTheFiles) {
  drive.WriteFile("list.txt", vxtest::Sjis("\"top.txt\"\r\n\"docs\\日本語ファイル.txt\"\r\n"));
  const auto r = Call(tar, "c -f \"C:\\out\\a.tar\" -o \"C:\\src\\\" \"@C:\\list.txt\"");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(Tool("tar -tf " + Sh(P("out/a.tar"))).output, "top.txt\ndocs/日本語ファイル.txt\n");
}

TEST_F(TarLibrary, OutputIsCutAtTheBufferWithoutSplittingACharacter) {
  ASSERT_EQ(PackSample("a.tar", "").code, 0);
  const std::string line = vxtest::Sjis("l -f \"C:\\out\\a.tar\"");
  std::vector<char> full(8192);
  ASSERT_EQ(tar(nullptr, line.c_str(), full.data(), full.size()), 0);
  const std::string whole = full.data();
  EXPECT_EQ(tar(nullptr, line.c_str(), nullptr, 0), 0);
  const size_t at = whole.find(vxtest::Sjis("日本語"));
  ASSERT_NE(at, std::string::npos);
  for (size_t size : {size_t{1}, size_t{2}, at + 2, at + 3, at + 4}) {
    std::vector<char> buffer(size + 1, 'Z');
    EXPECT_EQ(tar(nullptr, line.c_str(), buffer.data(), static_cast<DWORD>(size)), 0);
    const std::string cut = buffer.data();
    EXPECT_LT(cut.size(), size);
    EXPECT_EQ(whole.substr(0, cut.size()), cut);
    EXPECT_GE(cut.size() + 2, size - 1) << size;
    std::string utf8;
    EXPECT_TRUE(vxposix::Cp932ToUtf8(cut, utf8)) << size;
    EXPECT_EQ(buffer[size], 'Z');
  }
}

TEST_F(TarLibrary, ListingGivesEveryMemberWithItsRecord) {
  ASSERT_EQ(PackSample("a.tgz", "-z").code, 0);
  auto open = lib.Entry<TArcOpenArchiveProc>("TarOpenArchive");
  auto first = lib.Entry<TArcFindFirstProc>("TarFindFirst");
  auto next = lib.Entry<TArcFindNextProc>("TarFindNext");
  auto close = lib.Entry<TArcCloseArchiveProc>("TarCloseArchive");
  HARC h = open(nullptr, "C:\\out\\a.tgz", M_ERROR_MESSAGE_OFF | M_REGARDLESS_INIT_FILE);
  ASSERT_NE(h, nullptr);
  INDIVIDUALINFO info;
  std::map<std::string, DWORD> sizes;
  for (int r = first(h, "*", &info); r == 0; r = next(h, &info)) {
    sizes[vxtest::Utf8(info.szFileName)] = info.dwOriginalSize;
    EXPECT_STREQ(info.szMode, "gzip");
    EXPECT_NE(info.wDate, 0);
  }
  EXPECT_EQ(sizes, (std::map<std::string, DWORD>{{"top.txt", 6},
                                                 {"docs/readme.txt", arctest::SampleTree()["docs/readme.txt"].size()},
                                                 {"docs/日本語ファイル.txt", 19},
                                                 {"data/random.bin", 70000},
                                                 {"data/sub/empty.txt", 0}}));
  ASSERT_EQ(first(h, "*.bin", &info), 0);
  EXPECT_STREQ(info.szFileName, "data/random.bin");
  EXPECT_EQ(next(h, &info), -1);
  EXPECT_EQ(close(h), 0);
  EXPECT_NE(close(h), 0);
  EXPECT_EQ(next(h, &info), -1);
  EXPECT_EQ(open(nullptr, "C:\\out\\none.tgz", 0), nullptr);
}

TEST_F(TarLibrary, ArchiveTypesAreTold) {
  drive.WriteFile("plain.txt", "just text\n");
  ASSERT_EQ(Tool("cd " + Sh(P("src")) + " && tar cf ../t.tar top.txt && tar czf ../t.tgz top.txt && "
                 "gzip -c top.txt > ../t.gz && tar cjf ../t.tbz top.txt && bzip2 -c top.txt > ../t.bz2")
                .status,
            0);
  auto type = lib.Entry<TTarGetArchiveTypeProc>("TarGetArchiveType");
  const std::map<std::string, int> expected{{"t.tar", 1}, {"t.tgz", 2}, {"t.gz", 4}, {"t.tbz", 6},
                                            {"t.bz2", 7}, {"plain.txt", 0}, {"none.tar", 0}};
  for (const auto& [name, code] : expected) EXPECT_EQ(type(("C:\\" + name).c_str()), code) << name;
}

TEST_F(TarLibrary, ProgressReachesTheOwnerWindowAndItsAnswerStops) {
  auto setOwner = lib.Entry<TArcSetOwnerWindowExProc>("TarSetOwnerWindowEx");
  auto killOwner = lib.Entry<TArcKillOwnerWindowExProc>("TarKillOwnerWindowEx");
  {
    arctest::ProgressWindow window;
    ASSERT_TRUE(setOwner(window.Handle(), nullptr));
    ASSERT_EQ(PackSample("a.tgz", "-z").code, 0);
    ASSERT_TRUE(killOwner(window.Handle()));
    const auto& states = window.States();
    ASSERT_GE(states.size(), 7u);
    EXPECT_EQ(states.front(), static_cast<WPARAM>(ARCEXTRACT_OPEN));
    EXPECT_EQ(states.back(), static_cast<WPARAM>(ARCEXTRACT_END));
    EXPECT_EQ(std::count(states.begin(), states.end(), static_cast<WPARAM>(ARCEXTRACT_BEGIN)), 5);
    EXPECT_NE(std::find(window.Sources().begin(), window.Sources().end(), "docs/日本語ファイル.txt"),
              window.Sources().end());
    // Nothing more after the owner is gone.
    const size_t count = states.size();
    ASSERT_EQ(PackSample("b.tgz", "-z").code, 0);
    EXPECT_EQ(window.States().size(), count);
  }
  // Stopped while the compressing stage may have blocks in flight.
  for (const char* switches : {"-z", "-B1"}) {
    arctest::ProgressWindow stopper(3);
    ASSERT_TRUE(setOwner(stopper.Handle(), nullptr));
    const auto r = PackSample("c.tgz", switches);
    killOwner(stopper.Handle());
    EXPECT_EQ(r.code, ARCERR_USER_CANCEL) << switches;
    EXPECT_EQ(arctest::ListDir(P("out")), (std::vector<std::string>{"a.tgz", "b.tgz"}));
  }
}

}  // namespace
