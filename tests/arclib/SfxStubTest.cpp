// The self-extractor stub installed as sfx32gui.dat, sfx16.dat,
// kmtarsef.exe, lhasfx.dat and cabsfx.dat: programs made of it and an
// archive unpack themselves, small enough to mail, the stub checks member
// names as the libraries do, never replaces a file unasked, and reads
// archives other programs made, refusing damaged ones.
#include <filesystem>
#include <functional>

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
  arctest::ToolResult RunProgram(const std::string& program, const std::string& arguments = "") {
    fs::permissions(P(program), fs::perms::owner_all, fs::perm_options::add);
    return Tool("cd " + Sh(P("run")) + " && " + Sh(P(program)) + " " + arguments + " </dev/null");
  }
  void FreshRun() {
    fs::remove_all(P("run"));
    fs::create_directories(P("run"));
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
    FreshRun();
    const auto run = RunProgram("a.EXE");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("run")), arctest::SampleTree()), "") << stub;
  }
}

// Our writers' larger forms: a ZIP member deflated in several pieces
// joined into one stream, and a cabinet of several folders.
TEST_F(SfxStub, ProgramsOfLargeMembersAndSeveralFoldersUnpackWhole) {
  const std::string text = arctest::NumberedText(9u << 19);
  const arctest::Tree tree = {{"large.txt", text},
                              {"noise.bin", arctest::RandomBytes(1 << 20, 3)},
                              {"part.txt", text.substr(0, 1 << 20)}};
  arctest::WriteTree(P("big"), tree);
  arctest::RealLibrary zip32j("ZIP32J.DLL"), cab32("CAB32.DLL");
  auto zip = zip32j.Entry<TArcCommandProc>("Zip");
  auto cab = cab32.Entry<TArcCommandProc>("Cab");
  ASSERT_EQ(Call(zip, " -D -r  \"C:\\b.zip\" \"C:\\big\\\" \"*\" ").code, 0);
  drive.WriteFile("z.EXE", Stub("sfx32gui.dat") + drive.ReadFile("b.zip"));
  ASSERT_EQ(Call(zip, "-A C:\\z.EXE").code, 0);
  // Folders of 192 blocks (6 MiB): large.txt and noise.bin fill one, part.txt begins a second.
  const auto made = [&] {
    const arctest::ScopedEnv folders("ARCLIB_CAB_FOLDER_BLOCKS", "192");
    return Call(cab, "-a  \"C:\\b.cab\" \"C:\\big\\\" \"large.txt\" \"noise.bin\" \"part.txt\" ");
  }();
  ASSERT_EQ(made.code, 0) << made.output;
  ASSERT_EQ(drive.ReadFile("b.cab")[26], 2) << "folders";
  fs::create_directories(P("sfx"));
  ASSERT_EQ(Call(cab, "-f  \"C:\\b.cab\" \"C:\\sfx\\\" ").code, 0);
  for (const char* program : {"z.EXE", "sfx/b.exe"}) {
    SCOPED_TRACE(program);
    FreshRun();
    const auto run = RunProgram(program);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("run")), tree), "");
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
      "for n in ['../outside/evil1.txt', '/abs/rooted.txt', '/../evil2.txt', 'C:\\\\drive.txt', 'ok.txt']:\n"
      "    z.writestr(zipfile.ZipInfo(n), 'data')\n"
      "z.close()\n";
  ASSERT_EQ(Tool("python3 -c " + Sh(script)).status, 0);
  drive.WriteFile("evil.EXE", Stub("sfx32gui.dat") + drive.ReadFile("evil.zip"));
  const auto run = RunProgram("evil.EXE");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_NE(run.output.find("not extracted: ../outside/evil1.txt"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("not extracted: /../evil2.txt"), std::string::npos) << run.output;
  // Rooted names land below the destination, each root said once.
  EXPECT_EQ(arctest::Count(run.output, "Removed the leading \"/\" from member names"), 1u) << run.output;
  EXPECT_EQ(arctest::Count(run.output, "Removed the leading \"C:/\" from member names"), 1u) << run.output;
  EXPECT_EQ(drive.ReadFile("run/abs/rooted.txt"), "data");
  EXPECT_EQ(drive.ReadFile("run/drive.txt"), "data");
  EXPECT_TRUE(fs::is_empty(P("outside")));
  EXPECT_FALSE(fs::exists(P("evil2.txt")));
  EXPECT_EQ(drive.ReadFile("run/ok.txt"), "data");
  drive.WriteFile("bare.EXE", Stub("sfx16.dat"));
  EXPECT_EQ(RunProgram("bare.EXE").status, 2);
  drive.WriteFile("junk.EXE", Stub("sfx16.dat") + arctest::RandomBytes(1000, 4));
  EXPECT_EQ(RunProgram("junk.EXE").status, 2);
  drive.WriteFile("cut.EXE", Stub("kmtarsef.exe") + Tool("tar czf - -C " + Sh(P("src")) + " .").output.substr(0, 3000));
  EXPECT_EQ(RunProgram("cut.EXE").status, 1);
}

// The programs the plug-in attaches, made by our libraries from one 1 KiB
// file: each fits in 64 KiB, unpacks the file and says where it went.
TEST_F(SfxStub, ProgramsOfASmallFileFitInAMail) {
  const std::string data = arctest::RandomBytes(1024, 7);
  drive.WriteFile("one/data.bin", data);
  fs::create_directories(P("sfx"));
  arctest::RealLibrary unlha32("UNLHA32.DLL"), zip32j("ZIP32J.DLL"), cab32("CAB32.DLL");
  auto unlha = unlha32.Entry<TArcCommandProc>("Unlha");
  auto zip = zip32j.Entry<TArcCommandProc>("Zip");
  auto cab = cab32.Entry<TArcCommandProc>("Cab");
  struct Case {
    const char* family;
    std::function<void()> make;  // leaves sfx/a.exe
  };
  const std::vector<Case> cases = {
      {"LHA", [&] {
         ASSERT_EQ(Call(unlha, "a -+ -gw3  \"C:\\a.lzh\" \"C:\\one\\\" \"data.bin\" ").code, 0);
         ASSERT_EQ(Call(unlha, "s -+ -gw3  \"C:\\a.lzh\" \"C:\\sfx\\\" ").code, 0);
       }},
      {"ZIP", [&] {
         ASSERT_EQ(Call(zip, " -D -j  \"C:\\a.zip\" \"C:\\one\\data.bin\" ").code, 0);
         drive.WriteFile("sfx/a.exe", Stub("sfx32gui.dat") + drive.ReadFile("a.zip"));
         ASSERT_EQ(Call(zip, "-A C:\\sfx\\a.exe").code, 0);
       }},
      {"CAB", [&] {
         ASSERT_EQ(Call(cab, "-a  \"C:\\a.cab\" \"C:\\one\\\" \"data.bin\" ").code, 0);
         ASSERT_EQ(Call(cab, "-f  \"C:\\a.cab\" \"C:\\sfx\\\" ").code, 0);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.family);
    fs::remove(P("sfx/a.exe"));
    c.make();
    ASSERT_TRUE(fs::exists(P("sfx/a.exe")));
    EXPECT_LE(fs::file_size(P("sfx/a.exe")), 64u * 1024);
    FreshRun();
    const auto run = RunProgram("sfx/a.exe");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(drive.ReadFile("run/data.bin") == data) << run.output;
    EXPECT_NE(run.output.find("extracted 1 file to " + fs::canonical(P("run")).string()), std::string::npos)
        << run.output;
  }
  // The stub needs no library of ours at the recipient's.
  const auto libraries = Tool("ldd " + Sh(arctest::BinDir() + "/sfx32gui.dat"));
  EXPECT_EQ(libraries.output.find("vxplatform"), std::string::npos) << libraries.output;
  EXPECT_EQ(libraries.output.find("archive"), std::string::npos) << libraries.output;
  EXPECT_EQ(libraries.output.find("not found"), std::string::npos) << libraries.output;
}

TEST_F(SfxStub, HelpAndUnknownOptionsUnpackNothing) {
  arctest::RealLibrary zip32j("ZIP32J.DLL");
  auto zip = zip32j.Entry<TArcCommandProc>("Zip");
  ASSERT_EQ(Call(zip, " -D -r  \"C:\\a.zip\" \"C:\\src\\\" \"*\" ").code, 0);
  drive.WriteFile("a.EXE", Stub("sfx32gui.dat") + drive.ReadFile("a.zip"));
  struct Case {
    const char* arguments;
    int status;
    const char* says;
  };
  for (const Case& c : {Case{"--help", 0, "usage:"}, Case{"-h", 0, "usage:"}, Case{"--bogus", 2, "unknown option --bogus"},
                        Case{"-x", 2, "unknown option -x"}, Case{"one two", 2, "one directory only"}}) {
    FreshRun();
    const auto run = RunProgram("a.EXE", c.arguments);
    EXPECT_EQ(run.status, c.status) << c.arguments;
    EXPECT_NE(run.output.find(c.says), std::string::npos) << c.arguments << "\n" << run.output;
    EXPECT_NE(run.output.find("-y"), std::string::npos) << c.arguments << "\n" << run.output;
    EXPECT_TRUE(fs::is_empty(P("run"))) << c.arguments;
  }
  // A directory argument is where the files go.
  FreshRun();
  EXPECT_EQ(RunProgram("a.EXE", "-- there").status, 0);
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("run/there")), arctest::SampleTree()), "");
}

TEST_F(SfxStub, ExistingFilesAreReplacedOnlyWhenAskedTo) {
  ASSERT_EQ(Tool("tar czf " + Sh(P("a.tgz")) + " -C " + Sh(P("src")) + " .").status, 0);
  drive.WriteFile("a.EXE", Stub("kmtarsef.exe") + drive.ReadFile("a.tgz"));
  drive.WriteFile("run/top.txt", "mine");
  fs::permissions(P("a.EXE"), fs::perms::owner_all, fs::perm_options::add);
  // No terminal to ask on: the answer is no, whatever stdin holds.
  for (const char* input : {"", "y\n"}) {
    const auto run = Tool("cd " + Sh(P("run")) + " && printf " + Sh(input) + " | " + Sh(P("a.EXE")));
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("top.txt (it exists)"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("-y"), std::string::npos) << run.output;
    EXPECT_EQ(drive.ReadFile("run/top.txt"), "mine");
  }
  EXPECT_TRUE(drive.ReadFile("run/docs/readme.txt") == arctest::SampleTree().at("docs/readme.txt"));
  const auto run = RunProgram("a.EXE", "-y");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("run")), arctest::SampleTree()), "");

  // On a terminal (script(1) gives it one) the user's answer decides.
  if (Tool("command -v script").status != 0) GTEST_SKIP() << "script(1) is missing";
  struct Answer {
    const char* typed;
    bool replaced;
  };
  for (const Answer& a : {Answer{"y\n", true}, Answer{"n\n", false}, Answer{"A\n", true}, Answer{"N\n", false},
                          Answer{"maybe\ny\n", true}, Answer{"", false}}) {
    FreshRun();
    drive.WriteFile("run/top.txt", "mine");
    const auto asked = Tool("printf " + Sh(a.typed) + " | script -qec " +
                            Sh("cd " + Sh(P("run")) + " && " + Sh(P("a.EXE"))) + " /dev/null");
    EXPECT_NE(asked.output.find("top.txt exists. Replace it?"), std::string::npos) << a.typed << asked.output;
    EXPECT_EQ(drive.ReadFile("run/top.txt"), a.replaced ? "hello\n" : "mine") << a.typed;
    EXPECT_EQ(asked.status, a.replaced ? 0 : 1) << a.typed << asked.output;
  }
}

// Archives made by the Debian tools, sound and with one byte flipped in the
// middle: the sound ones unpack byte for byte, a damaged one leaves no
// damaged file behind and fails (plain tar has no check to fail).
TEST_F(SfxStub, ReadsArchivesOtherProgramsMadeAndRefusesDamagedOnes) {
  const std::string in = "cd " + Sh(P("src")) + " && ";
  struct Case {
    const char* name;
    std::string make;
    const char* stub;
    bool checked = true;
  };
  const std::vector<Case> cases = {
      {"zip", in + "zip -qr " + Sh(P("x.zip")) + " .", "sfx32gui.dat"},
      {"zip stored", in + "zip -qr0 " + Sh(P("x.zip")) + " .", "sfx16.dat"},
      {"7zz zip", in + "7zz a -tzip -bso0 " + Sh(P("x.zip")) + " .", "sfx32gui.dat"},
      {"gcab", in + "gcab -cz " + Sh(P("x.zip")) + " top.txt docs/readme.txt data/random.bin", "cabsfx.dat"},
      {"gcab stored", in + "gcab -c " + Sh(P("x.zip")) + " top.txt docs/readme.txt data/random.bin", "cabsfx.dat"},
      {"tar", in + "tar cf " + Sh(P("x.zip")) + " .", "kmtarsef.exe", false},
      {"tar.gz", in + "tar czf " + Sh(P("x.zip")) + " .", "kmtarsef.exe"},
      {"tar.bz2", in + "tar cjf " + Sh(P("x.zip")) + " .", "kmtarsef.exe"},
      {"pax tar.gz", in + "tar --format=pax -czf " + Sh(P("x.zip")) + " .", "kmtarsef.exe"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(P("x.zip"));
    ASSERT_EQ(Tool(c.make).status, 0);
    const std::string archive = drive.ReadFile("x.zip");
    drive.WriteFile("x.EXE", Stub(c.stub) + archive);
    FreshRun();
    auto run = RunProgram("x.EXE");
    EXPECT_EQ(run.status, 0) << run.output;
    arctest::Tree expected = arctest::SampleTree();
    if (std::string(c.name).starts_with("gcab"))
      expected = {{"top.txt", expected["top.txt"]}, {"docs/readme.txt", expected["docs/readme.txt"]},
                  {"data/random.bin", expected["data/random.bin"]}};
    EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("run")), expected), "");
    if (!c.checked) continue;

    std::string flipped = archive;
    // Inside the data of the largest (random, incompressible) member.
    const size_t at = archive.find(expected["data/random.bin"].substr(100, 16));
    const size_t where = at != std::string::npos ? at + 8 : archive.size() / 2;
    flipped[where] = static_cast<char>(flipped[where] ^ 0x20);
    drive.WriteFile("x.EXE", Stub(c.stub) + flipped);
    FreshRun();
    run = RunProgram("x.EXE");
    EXPECT_NE(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("not extracted"), std::string::npos) << run.output;
    const auto got = arctest::ReadTree(P("run"));
    const auto random = got.find("data/random.bin");
    EXPECT_TRUE(random == got.end() || random->second == expected["data/random.bin"]);
    for (const auto& [name, bytes] : got) EXPECT_EQ(bytes, expected[name]) << name;
  }
}

// LHA archives of other programs beside the project (they are not part of
// it): a Unix symbolic link is skipped and said so, never made into a
// folder named "link|target"; the files around it unpack as lhasa unpacks
// them.
TEST_F(SfxStub, LhaLinksOfOtherProgramsAreSkippedAndSaidSo) {
  // __FILE__ is absolute or relative to this test's object folder.
  const fs::path source = fs::path(arctest::BinDir()) / ".." / "tests" / "arclib" / __FILE__;
  const fs::path fixtures = source.parent_path() / ".." / ".." / ".." / "shared" / "fixtures" / "archives" / "lha";
  if (!fs::exists(fixtures / "unix-symlink-h2.lzh")) GTEST_SKIP() << "no fixtures at " << fixtures;
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"unix-symlink-h1.lzh", "skipped symlink (link)"}, {"unix-symlink-h2.lzh", "skipped dir2/symlink1 (link)"}};
  for (const auto& [name, says] : cases) {
    SCOPED_TRACE(name);
    drive.WriteFile("l.EXE", Stub("lhasfx.dat") + arctest::ReadFileBytes((fixtures / name).string()));
    FreshRun();
    const auto run = RunProgram("l.EXE");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find(says), std::string::npos) << run.output;
    fs::create_directories(P("ref"));
    ASSERT_EQ(Tool("cd " + Sh(P("ref")) + " && lha xq " + Sh((fixtures / name).string())).status, 0);
    EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("run")), arctest::ReadTree(P("ref"))), "");
    for (const std::string& entry : arctest::ListDir(P("run"))) EXPECT_EQ(entry.find('|'), std::string::npos) << entry;
    fs::remove_all(P("ref"));
  }
}

}  // namespace
