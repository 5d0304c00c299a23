// The whole way: vxhost loads the plug-in, the dialog's commands arrive on
// its input, our archiver libraries pack the files, and the message it
// writes holds one attachment that Python reads and the unpacking tools (or
// the self-extracting program itself) turn back into the files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "HostRun.h"
#include "platform/posix/vxposix.h"
#include "support/Scratch.h"

namespace fs = std::filesystem;

namespace hosttest {
namespace {

const std::vector<std::string> kSamples = {"readme.txt", "pixels.bin", "日本語のメモ.txt"};

std::string Sample(const std::string& name) { return ReadFile(SourceDir() + "/samples/" + name); }

// The unpacked file of a name: archives keep names in UTF-8 or in code page
// 932, as their format does.
std::string Unpacked(const std::string& folder, const std::string& utf8Name) {
  if (fs::exists(folder + "/" + utf8Name)) return ReadFile(folder + "/" + utf8Name);
  std::string cp932;
  if (vxposix::Utf8ToCp932(utf8Name, cp932) && fs::exists(folder + "/" + cp932)) return ReadFile(folder + "/" + cp932);
  return "(missing)";
}

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* d : {"plugins", "temp", "files", "out", "parts", "unpacked"}) fs::create_directories(Path(d));
    // A plug-in folder of its own keeps the settings of these runs apart.
    fs::copy_file(BinDir() + "/VxArc.dll", Path("plugins/VxArc.dll"));
    for (const std::string& name : kSamples) fs::copy_file(SourceDir() + "/samples/" + name, Path("files/" + name));
  }

  std::string Path(const std::string& relative) const { return root_.Path() + "/" + relative; }

  // vxhost with the dialog's commands; the message lands in out/mail.eml.
  Result Host(const std::string& commands, const std::string& options = "") {
    return Shell(root_.Path(),
               "'" + BinDir() + "/vxhost' --plugins plugins -o out/mail.eml --subject 'テスト' " + options, commands,
               "TMPDIR='" + Path("temp") + "'");
  }
  std::string AddSamples() const {
    std::string line = "add";
    for (const std::string& name : kSamples) line += " 'files/" + name + "'";
    return line + "\n";
  }

  vxtest::ScratchDir root_;
};

struct FormatCase {
  const char* format;
  bool sfx;
  const char* fileName;
  const char* mimeType;
  const char* unpack;  // in unpacked/, with the archive at ../parts/<file name>
};

TEST_F(EndToEnd, EveryFormatPlainAndSelfExtractingWhereAllowed) {
  const FormatCase cases[] = {
      {"lha", false, "readme.lzh", "application/x-lha", "lhasa x ../parts/readme.lzh"},
      {"zip", false, "readme.zip", "application/zip", "unzip -q ../parts/readme.zip"},
      {"cab", false, "readme.cab", "application/x-compressed", "cabextract -q ../parts/readme.cab"},
      {"tgz", false, "readme.tgz", "application/x-compressed", "tar xzf ../parts/readme.tgz"},
      {"bz2", false, "readme.bz2", "application/x-compressed", "tar xjf ../parts/readme.bz2"},
      {"lha", true, "readme.exe", "application/x-lha", "chmod +x ../parts/readme.exe && ../parts/readme.exe"},
      {"zip", true, "readme.exe", "application/zip", "chmod +x ../parts/readme.exe && ../parts/readme.exe"},
      {"cab", true, "readme.exe", "application/x-compressed", "chmod +x ../parts/readme.exe && ../parts/readme.exe"},
  };
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(std::string(c.format) + (c.sfx ? " self-extracting" : ""));
    for (const char* d : {"parts", "unpacked"}) {
      fs::remove_all(Path(d));
      fs::create_directories(Path(d));
    }
    const std::string commands = std::string("format ") + c.format + "\nsfx " + (c.sfx ? "on" : "off") + "\n" +
                                 AddSamples() + "attach\n";
    const Result host = Host(commands);
    ASSERT_EQ(host.status, 0) << host.out << host.err;
    EXPECT_TRUE(fs::is_empty(Path("temp"))) << "the archive was left in the temporary folder";

    const Reading mail = ReadMessage(Path("out/mail.eml"), Path("parts"));
    ASSERT_EQ(mail.status, 0) << mail.errors;
    EXPECT_TRUE(mail.defects.empty());
    EXPECT_EQ(mail.fields.at("subject"), "テスト");
    ASSERT_EQ(mail.parts.size(), 1u) << host.out;
    EXPECT_EQ(mail.parts[0].fileName, c.fileName);
    EXPECT_EQ(mail.parts[0].mimeType, c.mimeType);

    const Result unpack = Shell(Path("unpacked"), c.unpack);
    ASSERT_EQ(unpack.status, 0) << unpack.out << unpack.err;
    for (const std::string& name : kSamples) EXPECT_EQ(Unpacked(Path("unpacked"), name), Sample(name)) << name;
  }
}

TEST_F(EndToEnd, WholeFolderModeKeepsPathsRelativeToTheFolder) {
  root_.WriteFile("project/plan.txt", "plan\n");
  root_.WriteFile("project/data/table.csv", "a,b\n1,2\n");
  root_.WriteFile("project/data/図/図1.bin", std::string("\x00\x01\x02\xff", 4));
  const Result host = Host("format zip\nfolder project\n");
  ASSERT_EQ(host.status, 0) << host.out << host.err;
  const Reading mail = ReadMessage(Path("out/mail.eml"), Path("parts"));
  ASSERT_EQ(mail.parts.size(), 1u) << host.out;
  EXPECT_EQ(mail.parts[0].fileName, "project.zip");
  const Result unpack = Shell(Path("unpacked"), "unzip -q ../parts/project.zip");
  ASSERT_EQ(unpack.status, 0) << unpack.err;
  EXPECT_EQ(ReadFile(Path("unpacked/plan.txt")), "plan\n");
  EXPECT_EQ(ReadFile(Path("unpacked/data/table.csv")), "a,b\n1,2\n");
  EXPECT_EQ(ReadFile(Path("unpacked/data/図/図1.bin")), std::string("\x00\x01\x02\xff", 4));
}

TEST_F(EndToEnd, CancelWritesAMessageWithoutAttachment) {
  const Result host = Host("cancel\n");
  ASSERT_EQ(host.status, 0) << host.err;
  const Reading mail = ReadMessage(Path("out/mail.eml"));
  ASSERT_EQ(mail.status, 0) << mail.errors;
  EXPECT_TRUE(mail.parts.empty());
  EXPECT_FALSE(fs::exists(Path("plugins/VxArc.ini")));
}

TEST_F(EndToEnd, WithoutOutputFileTheMessageGoesToStandardOutputAndTheDialogToStandardError) {
  const Result host =
      Shell(root_.Path(), "'" + BinDir() + "/vxhost' --plugins plugins --from 'A <a@example.invalid>'",
          "format zip\nadd files/readme.txt\nattach\n", "TMPDIR='" + Path("temp") + "'");
  ASSERT_EQ(host.status, 0) << host.err;
  EXPECT_NE(host.err.find("=== 圧縮して添付 ==="), std::string::npos);
  EXPECT_EQ(host.out.find("==="), std::string::npos);
  WriteFile(Path("out/stdout.eml"), host.out);
  const Reading mail = ReadMessage(Path("out/stdout.eml"));
  ASSERT_EQ(mail.parts.size(), 1u);
  EXPECT_EQ(mail.parts[0].fileName, "readme.zip");
  EXPECT_EQ(mail.fields.at("from"), "A <a@example.invalid>");
}

TEST_F(EndToEnd, InfoShowsTheRecordAndTheMenuAsThePluginLeftIt) {
  const Result host = Shell(root_.Path(), "'" + BinDir() + "/vxhost' --plugins plugins --info");
  ASSERT_EQ(host.status, 0) << host.err;
  for (const char* expected : {"Vordex! 圧縮添付 plug-in", "0.30", "ファイルを簡単な操作で圧縮と同時に添付します。",
                               "ツール(&T)", "--------", "圧縮して添付...", "ファイルを圧縮して添付する"})
    EXPECT_NE(host.out.find(expected), std::string::npos) << expected << "\n" << host.out;
  // The item follows the separator at the end of the fourth pop-up.
  EXPECT_LT(host.out.find("ツール(&T)"), host.out.find("--------"));
  EXPECT_LT(host.out.find("--------"), host.out.find("圧縮して添付..."));
  EXPECT_LT(host.out.find("圧縮して添付..."), host.out.find("ヘルプ(&H)"));
}

TEST_F(EndToEnd, AHostWithoutThePluginSaysSo) {
  fs::remove(Path("plugins/VxArc.dll"));
  const Result host = Shell(root_.Path(), "'" + BinDir() + "/vxhost' --plugins plugins -o out/mail.eml");
  EXPECT_EQ(host.status, 1);
  EXPECT_NE(host.err.find("did not load"), std::string::npos) << host.err;
  EXPECT_FALSE(fs::exists(Path("out/mail.eml")));
}

// --help on standard output; a bad option is refused with the usage on
// standard error. Neither loads the plug-in or writes a message.
TEST_F(EndToEnd, HelpAndBadOptions) {
  struct Case {
    const char* options;
    int status;
    bool onStdout;
  };
  for (const Case& c : {Case{"--help", 0, true}, Case{"-h", 0, true}, Case{"--bogus", 2, false},
                        Case{"-o", 2, false}, Case{"--info extra", 2, false}}) {
    SCOPED_TRACE(c.options);
    const Result host = Shell(root_.Path(), "'" + BinDir() + "/vxhost' --plugins plugins " + c.options);
    EXPECT_EQ(host.status, c.status);
    const std::string& usage = c.onStdout ? host.out : host.err;
    const std::string& other = c.onStdout ? host.err : host.out;
    EXPECT_NE(usage.find("usage: vxhost"), std::string::npos) << usage;
    EXPECT_EQ(other, "");
    for (const char* command : {"read from standard", "add PATH", "drop PATH", "folder [PATH]", "format lha|zip|cab|tgz|bz2",
                                "sfx on|off", "result on|off", "attach", "cancel"})
      EXPECT_NE(usage.find(command), std::string::npos) << command;
  }
  EXPECT_TRUE(fs::is_empty(Path("out")));
}

// make demo: the message it writes, read by Python, and its attachment
// unpacked to the sample files byte for byte.
TEST(Demo, TheDemoMessageHoldsTheSampleFiles) {
  const std::string build = BinDir() + "/..";
  vxtest::ScratchDir work;
  const Result demo = Shell(SourceDir(), "bash scripts/demo.sh '" + build + "'");
  ASSERT_EQ(demo.status, 0) << demo.out << demo.err;
  EXPECT_NE(demo.out.find("サンプル集.zip"), std::string::npos) << demo.out;
  EXPECT_NE(demo.out.find("members:"), std::string::npos) << demo.out;
  // It ends by saying how to run the job yourself.
  EXPECT_NE(demo.out.find("/bin/vxhost -o my.eml\n"), std::string::npos) << demo.out;
  EXPECT_GT(demo.out.rfind("attach\n"), demo.out.find("members:")) << demo.out;

  const Reading mail = ReadMessage(build + "/demo.eml", work.Path() + "/parts");
  ASSERT_EQ(mail.status, 0) << mail.errors;
  EXPECT_TRUE(mail.defects.empty());
  ASSERT_EQ(mail.parts.size(), 1u);
  EXPECT_EQ(mail.parts[0].fileName, "サンプル集.zip");
  EXPECT_EQ(mail.parts[0].mimeType, "application/zip");
  fs::create_directories(work.Path() + "/unpacked");
  const Result unpack = Shell(work.Path() + "/unpacked", "unzip -q '../parts/サンプル集.zip'");
  ASSERT_EQ(unpack.status, 0) << unpack.err;
  for (const std::string& name : kSamples)
    EXPECT_EQ(ReadFile(work.Path() + "/unpacked/" + name), Sample(name)) << name;
}

}  // namespace
}  // namespace hosttest
