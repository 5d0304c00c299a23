// The self-extractor stub installed as sfx32gui.dat, sfx16.dat and
// kmtarsef.exe: programs made of it and an archive unpack themselves, and
// the stub checks member names as the libraries do.
#include <filesystem>

#include "ArcTestKit.h"

namespace fs = std::filesystem;
using arctest::Call;
using arctest::Sh;
using arctest::Tool;

namespace {

class SfxStub : public ::testing::Test {
 protected:
  void SetUp() override {
    arctest::WriteTree(P("src"), arctest::SampleTree());
    fs::create_directories(P("run"));
  }
  std::string P(const std::string& relative) const { return drive.Path() + "/" + relative; }
  std::string Stub(const std::string& name) const { return arctest::ReadFileBytes(arctest::BinDir() + "/" + name); }
  // Writes stub + archive as an executable program and runs it in run/.
  arctest::ToolResult RunProgram(const std::string& program) {
    fs::permissions(P(program), fs::perms::owner_all, fs::perm_options::add);
    return Tool("cd " + Sh(P("run")) + " && " + Sh(P(program)));
  }

  vxtest::DriveC drive;
};

TEST_F(SfxStub, ZipProgramsAreCleanForUnzipAndUnpackThemselves) {
  arctest::RealLibrary zip32j("ZIP32J.DLL");
  auto zip = zip32j.Entry<TArcCommandProc>("Zip");
  ASSERT_EQ(Call(zip, " -D -r  \"C:\\a.zip\" \"C:\\src\\\" \"*\" ").code, 0);
  for (const char* stub : {"sfx32gui.dat", "sfx16.dat"}) {
    drive.WriteFile("a.EXE", Stub(stub) + drive.ReadFile("a.zip"));
    ASSERT_EQ(Call(zip, "-A C:\\a.EXE").code, 0);
    const auto t = Tool("unzip -t " + Sh(P("a.EXE")));
    EXPECT_EQ(t.status, 0) << t.output;
    EXPECT_EQ(t.output.find("warning"), std::string::npos) << t.output;
    fs::remove_all(P("run"));
    fs::create_directories(P("run"));
    const auto run = RunProgram("a.EXE");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("run")), arctest::SampleTree()), "") << stub;
  }
}

TEST_F(SfxStub, TarProgramsUnpackThemselves) {
  ASSERT_EQ(Tool("tar czf " + Sh(P("a.tgz")) + " -C " + Sh(P("src")) + " .").status, 0);
  drive.WriteFile("a.EXE", Stub("kmtarsef.exe") + drive.ReadFile("a.tgz"));
  const auto run = RunProgram("a.EXE");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("run")), arctest::SampleTree()), "");
}

TEST_F(SfxStub, RefusesUnsafeNamesAndSaysWhenNothingIsAppended) {
  fs::create_directories(P("outside"));
  const std::string script =
      "import zipfile\n"
      "z = zipfile.ZipFile(" + Sh(P("evil.zip")) + ", 'w')\n"
      "for n in ['../outside/evil1.txt', '/abs/evil2.txt', 'ok.txt']:\n"
      "    z.writestr(zipfile.ZipInfo(n), 'data')\n"
      "z.close()\n";
  ASSERT_EQ(Tool("python3 -c " + Sh(script)).status, 0);
  drive.WriteFile("evil.EXE", Stub("sfx32gui.dat") + drive.ReadFile("evil.zip"));
  const auto run = RunProgram("evil.EXE");
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.output.find("../outside/evil1.txt"), std::string::npos) << run.output;
  EXPECT_TRUE(fs::is_empty(P("outside")));
  EXPECT_EQ(drive.ReadFile("run/ok.txt"), "data");
  drive.WriteFile("bare.EXE", Stub("sfx16.dat"));
  EXPECT_EQ(RunProgram("bare.EXE").status, 2);
  drive.WriteFile("junk.EXE", Stub("sfx16.dat") + arctest::RandomBytes(1000, 4));
  EXPECT_EQ(RunProgram("junk.EXE").status, 2);
  drive.WriteFile("cut.EXE", Stub("kmtarsef.exe") + Tool("tar czf - -C " + Sh(P("src")) + " .").output.substr(0, 3000));
  EXPECT_EQ(RunProgram("cut.EXE").status, 1);
}

}  // namespace
