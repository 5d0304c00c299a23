// CAB32.DLL: cabinets read back by cabextract with the right names,
// extraction, self-extracting programs, damage, bad lines and progress.
#include <sys/stat.h>

#include <filesystem>

#include "ArcTestKit.h"
#include "support/Cp932.h"

namespace fs = std::filesystem;
using arctest::Call;
using arctest::Sh;
using arctest::Tool;

namespace {

class CabLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    arctest::WriteTree(P("src"), arctest::SampleTree());
    fs::create_directories(P("out"));
  }
  std::string P(const std::string& relative) const { return drive.Path() + "/" + relative; }
  arctest::CommandResult PackSample(const std::string& switches, const std::string& archive = "a.cab") {
    return Call(cab, "-a " + switches + "  \"C:\\out\\" + archive +
                         "\" \"C:\\src\\\" \"top.txt\" \"docs\\readme.txt\" \"docs\\日本語ファイル.txt\" "
                         "\"data\\random.bin\" \"data\\sub\\empty.txt\" ");
  }

  vxtest::DriveC drive;
  arctest::RealLibrary lib{"CAB32.DLL"};
  TArcCommandProc cab = lib.Entry<TArcCommandProc>("Cab");
};

TEST_F(CabLibrary, CabinetsPassCabextractWithTheirNamesAndContents) {
  const auto r = PackSample("");
  ASSERT_EQ(r.code, 0) << r.output;
  const auto t = Tool("LC_ALL=C.UTF-8 cabextract -t " + Sh(P("out/a.cab")));
  EXPECT_EQ(t.status, 0) << t.output;
  EXPECT_NE(t.output.find("docs/日本語ファイル.txt"), std::string::npos) << t.output;
  EXPECT_NE(t.output.find("All done, no errors"), std::string::npos) << t.output;
  ASSERT_EQ(Tool("LC_ALL=C.UTF-8 cabextract -q -d " + Sh(P("x")) + " " + Sh(P("out/a.cab"))).status, 0);
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("x")), arctest::SampleTree()), "");
}

TEST_F(CabLibrary, BareNamesStoredDataAndUnsupportedCompression) {
  ASSERT_EQ(Call(cab, "-a -j  \"C:\\out\\j.cab\" \"C:\\src\\docs\\readme.txt\" \"C:\\src\\top.txt\" ").code, 0);
  const auto list = Tool("cabextract -l " + Sh(P("out/j.cab")));
  EXPECT_NE(list.output.find(" | readme.txt"), std::string::npos) << list.output;
  EXPECT_EQ(list.output.find("docs"), std::string::npos) << list.output;
  ASSERT_EQ(PackSample("-mn", "n.cab").code, 0);
  ASSERT_EQ(PackSample("", "z.cab").code, 0);
  EXPECT_GT(fs::file_size(P("out/n.cab")), fs::file_size(P("out/z.cab")));
  EXPECT_EQ(Tool("cabextract -t " + Sh(P("out/n.cab"))).status, 0);
  const auto lzx = PackSample("-ml:21", "l.cab");
  EXPECT_EQ(lzx.code, ARCERR_NOT_SUPPORT);
  EXPECT_NE(lzx.output.find("-ml:21"), std::string::npos);
  EXPECT_FALSE(fs::exists(P("out/l.cab")));
}

TEST_F(CabLibrary, ExtractsWithPathsPatternsAndOverwriting) {
  ASSERT_EQ(PackSample("").code, 0);
  auto r = Call(cab, "-x  \"" + std::string("C:\\out\\a.cab") + "\" \"C:\\x\\\" ");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("x")), arctest::SampleTree()), "");
  drive.WriteFile("y/top.txt", "mine");
  ASSERT_EQ(Call(cab, "-x -j  \"C:\\out\\a.cab\" \"C:\\y\\\" \"*.txt\" ").code, 0);
  EXPECT_EQ(drive.ReadFile("y/top.txt"), "mine");
  EXPECT_EQ(arctest::ListDir(P("y")),
            (std::vector<std::string>{"empty.txt", "readme.txt", "top.txt", "日本語ファイル.txt"}));
  ASSERT_EQ(Call(cab, "-x -o -j  \"C:\\out\\a.cab\" \"C:\\y\\\" \"top.txt\" ").code, 0);
  EXPECT_EQ(drive.ReadFile("y/top.txt"), "hello\n");
}

TEST_F(CabLibrary, SelfExtractingProgramsUnpackThemselves) {
  ASSERT_EQ(PackSample("").code, 0);
  const auto r = Call(cab, "-f  \"C:\\out\\a.cab\" \"C:\\sfx\\\" ");
  ASSERT_EQ(r.code, 0) << r.output;
  ASSERT_TRUE(fs::exists(P("sfx/a.exe")));
  EXPECT_NE(fs::status(P("sfx/a.exe")).permissions() & fs::perms::owner_exec, fs::perms::none);
  fs::create_directories(P("run"));
  const auto run = Tool("cd " + Sh(P("run")) + " && " + Sh(P("sfx/a.exe")));
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("run")), arctest::SampleTree()), "");
  // Without a directory the program lands beside the archive.
  ASSERT_EQ(Call(cab, "-f  \"C:\\out\\a.cab\" ").code, 0);
  EXPECT_TRUE(fs::exists(P("out/a.exe")));
  drive.WriteFile("out/bad.cab", "MSCF but nothing else");
  EXPECT_GE(Call(cab, "-f  \"C:\\out\\bad.cab\" \"C:\\sfx\\\" ").code, 0x8000);
  EXPECT_FALSE(fs::exists(P("sfx/bad.exe")));
}

TEST_F(CabLibrary, DamageAndListing) {
  ASSERT_EQ(PackSample("").code, 0);
  const std::string good = drive.ReadFile("out/a.cab");
  drive.WriteFile("cut.cab", good.substr(0, good.size() / 2));
  std::string flipped = good;
  for (size_t i = 300; i < flipped.size(); i += 89) flipped[i] = static_cast<char>(~flipped[i]);
  drive.WriteFile("flipped.cab", flipped);
  auto check = lib.Entry<TArcCheckArchiveProc>("CabCheckArchive");
  EXPECT_TRUE(check("C:\\out\\a.cab", 0));
  for (const char* name : {"cut.cab", "flipped.cab"}) {
    EXPECT_GE(Call(cab, std::string("-x -o  \"C:\\") + name + "\" \"C:\\z\\\" ").code, 0x8000) << name;
    EXPECT_FALSE(check((std::string("C:\\") + name).c_str(), 0)) << name;
  }
  auto open = lib.Entry<TArcOpenArchiveProc>("CabOpenArchive");
  auto first = lib.Entry<TArcFindFirstProc>("CabFindFirst");
  auto next = lib.Entry<TArcFindNextProc>("CabFindNext");
  auto close = lib.Entry<TArcCloseArchiveProc>("CabCloseArchive");
  HARC h = open(nullptr, "C:\\out\\a.cab", M_ERROR_MESSAGE_OFF | M_REGARDLESS_INIT_FILE);
  ASSERT_NE(h, nullptr);
  INDIVIDUALINFO info;
  std::vector<std::string> names;
  for (int r = first(h, "*", &info); r == 0; r = next(h, &info)) names.push_back(vxtest::Utf8(info.szFileName));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"data\\random.bin", "data\\sub\\empty.txt", "docs\\readme.txt",
                                             "docs\\日本語ファイル.txt", "top.txt"}));
  EXPECT_EQ(close(h), 0);
  drive.WriteFile("garbage.cab", arctest::RandomBytes(4000, 2));
  EXPECT_EQ(open(nullptr, "C:\\garbage.cab", 0), nullptr);
}

TEST_F(CabLibrary, BadLinesAndInputsGiveCodesAndKeepTheOldCabinet) {
  ASSERT_EQ(PackSample("").code, 0);
  const std::string before = drive.ReadFile("out/a.cab");
  struct Case {
    const char* line;
    const char* named;
  } cases[] = {
      {"-a -Z  \"C:\\out\\a.cab\" \"C:\\src\\top.txt\" ", "-Z"},
      {"-a  \"C:\\out\\a.cab\" \"C:\\src\\top.txt\" \"C:\\src\\gone.txt\" ", "gone.txt"},
      {"-a  \"C:\\out\\a.cab\" ", "no files"},
      {"-y  \"C:\\out\\a.cab\" ", "-y"},
      {"-a  \"C:\\out\\a.cab\" \"C:\\src\\top.txt", "quote"},
      {"-x  \"C:\\out\\none.cab\" \"C:\\x\\\" ", "none.cab"},
  };
  for (const Case& c : cases) {
    const auto r = Call(cab, c.line);
    EXPECT_GE(r.code, 0x8000) << c.line;
    EXPECT_NE(r.output.find(c.named), std::string::npos) << c.line << "\n" << r.output;
  }
  EXPECT_EQ(drive.ReadFile("out/a.cab"), before);
  EXPECT_EQ(arctest::ListDir(P("out")), std::vector<std::string>{"a.cab"});
}

TEST_F(CabLibrary, ProgressAndStopping) {
  auto setOwner = lib.Entry<TArcSetOwnerWindowExProc>("CabSetOwnerWindowEx");
  auto killOwner = lib.Entry<TArcKillOwnerWindowExProc>("CabKillOwnerWindowEx");
  {
    arctest::ProgressWindow window;
    setOwner(window.Handle(), nullptr);
    ASSERT_EQ(PackSample("").code, 0);
    killOwner(window.Handle());
    EXPECT_EQ(window.States().front(), static_cast<WPARAM>(ARCEXTRACT_OPEN));
    EXPECT_EQ(window.States().back(), static_cast<WPARAM>(ARCEXTRACT_END));
    EXPECT_EQ(std::count(window.States().begin(), window.States().end(), static_cast<WPARAM>(ARCEXTRACT_BEGIN)), 5);
  }
  arctest::ProgressWindow stopper(3);
  setOwner(stopper.Handle(), nullptr);
  EXPECT_EQ(PackSample("", "stopped.cab").code, ARCERR_USER_CANCEL);
  EXPECT_EQ(Call(cab, "-x  \"C:\\out\\a.cab\" \"C:\\x\\\" ").code, ARCERR_USER_CANCEL);
  killOwner(stopper.Handle());
  EXPECT_EQ(arctest::ListDir(P("out")), std::vector<std::string>{"a.cab"});
}

}  // namespace
