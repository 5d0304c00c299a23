// Packing and self-extractor creation through the component: the framework's
// own file filter on a private option copy, the output buffer, the command
// line kept afterwards, library results.
#include "ComponentFixture.h"

using namespace vx;
using componenttest::ArchiverMessage;
using componenttest::ComponentTest;
using componenttest::kAllLibraries;
using vxtest::Sjis;

namespace {

HWND Window() { return reinterpret_cast<HWND>(0x1234); }

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class PackTest : public ComponentTest {
 protected:
  void SetUp() override {
    ComponentTest::SetUp();
    drive.WriteFile("d/a.txt", "a");
    drive.WriteFile("d/x/b.txt", "b");
    drive.WriteFile("d/c.doc", "c");
    file.SetFileName("C:\\arc.lzh");
    file.SetOutputSize(8192);
  }

  // The one call of the LHA command entry so far.
  static arctest::Call UnlhaCall() {
    const auto calls = arctest::CallsOf("Unlha", "UNLHA32.DLL");
    EXPECT_EQ(calls.size(), 1u);
    return calls.empty() ? arctest::Call() : calls.back();
  }

  vxtest::TestLibraries libs{kAllLibraries};
  TArchiveFile file{nullptr};
};

}  // namespace

TEST_F(PackTest, ComponentFilterPacksTheFoundFilesWithAChangedCopyOfTheOptions) {
  TArchiverOptions& own = file.Options();
  own.PackFilter = pfComponent;
  own.r = 2;
  own.jo = "800101";
  own.x = 1;
  const TStringList files{"C:\\d"};
  EXPECT_EQ(file.Pack(nullptr, nullptr, "C:\\", &files), 0);

  const std::string cmd = UnlhaCall().text;
  EXPECT_TRUE(Contains(cmd, "\"C:\\d\\a.txt\" \"C:\\d\\c.doc\" \"C:\\d\\x\\b.txt\"")) << cmd;
  EXPECT_FALSE(Contains(cmd, "\"C:\\d\" ")) << cmd;
  EXPECT_TRUE(Contains(cmd, " -p1 ")) << cmd;
  EXPECT_TRUE(Contains(cmd, " -x1 ")) << cmd;
  EXPECT_FALSE(Contains(cmd, "-r")) << cmd;
  EXPECT_FALSE(Contains(cmd, "-jo")) << cmd;
  EXPECT_EQ(file.CommandLine(), cmd);
  // The component's own options are the caller's: untouched.
  EXPECT_EQ(own.r, 2);
  EXPECT_EQ(own.p, -1);
  EXPECT_EQ(own.jo, "800101");
  EXPECT_EQ(own.job, NoValue);
}

TEST_F(PackTest, GivenOptionsAreUsedInsteadOfTheComponentsOwn) {
  TArchiverOptions given;
  given.PackFilter = pfComponent;
  given.r = 1;
  given.p = 1;
  const TStringList files{"C:\\d\\*.txt"};
  EXPECT_EQ(file.Pack(nullptr, &given, "", &files), 0);
  EXPECT_TRUE(Contains(UnlhaCall().text, "\"C:\\d\\a.txt\" \"C:\\d\\x\\b.txt\"")) << UnlhaCall().text;
  EXPECT_EQ(given.r, 1);
  EXPECT_EQ(given.PackFilter, pfComponent);
}

TEST_F(PackTest, ArchiverFilterHandsTheListOverUnchanged) {
  file.Options().r = 2;
  const TStringList files{"C:\\d", "C:\\nothing\\*.x"};
  EXPECT_EQ(file.Pack(nullptr, nullptr, "", &files), 0);
  const std::string cmd = UnlhaCall().text;
  EXPECT_TRUE(Contains(cmd, "\"C:\\d\" \"C:\\nothing\\*.x\"")) << cmd;
  EXPECT_TRUE(Contains(cmd, " -r2 ")) << cmd;
}

TEST_F(PackTest, FilterThatKeepsNothingReturnsZeroAndCallsNoLibrary) {
  arctest::ScriptReport("UNLHA32.DLL", "Unlha", "earlier report");
  EXPECT_EQ(file.Pack(nullptr, nullptr, "", nullptr), 0);
  ASSERT_EQ(file.GetOutput(), "earlier report");
  const std::string earlierCommand = file.CommandLine();
  arctest::Reset();

  file.Options().PackFilter = pfComponent;
  file.OnProgress = [](TObject*, int32_t, LPEXTRACTINGINFOEX, bool&) {};
  const TStringList files{"C:\\d\\*.none", "C:\\missing\\a.txt"};
  EXPECT_EQ(file.Pack(nullptr, nullptr, "", &files), 0);
  EXPECT_EQ(file.GetOutput(), "");
  EXPECT_EQ(file.GetOutputSize(), 8192);
  EXPECT_TRUE(arctest::Calls().empty());
  EXPECT_EQ(file.CommandLine(), earlierCommand);
}

TEST_F(PackTest, InvalidFilterDateRaisesBeforeAnyLibraryCall) {
  file.Options().PackFilter = pfComponent;
  file.Options().r = 2;
  file.Options().jo = "991301";
  file.OnProgress = [](TObject*, int32_t, LPEXTRACTINGINFOEX, bool&) {};
  const TStringList files{"C:\\d"};
  EXPECT_THROW(file.Pack(nullptr, nullptr, "", &files), EConvertError);
  EXPECT_TRUE(arctest::Calls().empty());
  EXPECT_EQ(file.CommandLine(), "");
  EXPECT_EQ(file.Options().r, 2);
  EXPECT_EQ(file.Options().jo, "991301");
  EXPECT_EQ(file.WindowHandle(), nullptr);
}

TEST_F(PackTest, LibraryResultAndReportComeBackUnchanged) {
  arctest::ScriptResult("UNLHA32.DLL", "Unlha", 0x8012);
  arctest::ScriptReport("UNLHA32.DLL", "Unlha", "cannot create");
  const TStringList files{"a.txt"};
  EXPECT_EQ(file.Pack(Window(), nullptr, "C:\\d", &files), 0x8012);
  EXPECT_EQ(file.GetOutput(), "cannot create");
  const arctest::Call call = UnlhaCall();
  EXPECT_EQ(call.window, Window());
  EXPECT_EQ(file.CommandLine(), call.text);
  EXPECT_TRUE(Contains(call.text, "\"C:\\arc.lzh\" \"C:\\d\\\" \"a.txt\"")) << call.text;
}

TEST_F(PackTest, OutputBufferSize) {
  EXPECT_EQ(file.GetOutputSize(), 8192);
  EXPECT_EQ(file.GetOutput(), "");
  EXPECT_EQ(file.Pack(nullptr, nullptr, "", nullptr), 0);
  EXPECT_FALSE(UnlhaCall().bufferNull);
  EXPECT_EQ(UnlhaCall().bufferSize, 8192u);

  arctest::Reset();
  arctest::ScriptReport("UNLHA32.DLL", "Unlha", "text");
  file.SetOutputSize(0);
  EXPECT_EQ(file.GetOutputSize(), 0);
  EXPECT_EQ(file.Pack(nullptr, nullptr, "", nullptr), 0);
  EXPECT_TRUE(UnlhaCall().bufferNull);
  EXPECT_EQ(UnlhaCall().bufferSize, 0u);
  EXPECT_EQ(file.GetOutput(), "");

  // A new size reads as empty again until the library writes.
  file.SetOutputSize(5);
  EXPECT_EQ(file.Pack(nullptr, nullptr, "", nullptr), 0);
  EXPECT_EQ(file.GetOutput(), "text");
  file.SetOutputSize(5);
  EXPECT_EQ(file.GetOutput(), "");
}

TEST_F(PackTest, MakeSfxRunsTheLibraryWithoutProgressWindow) {
  int progress = 0;
  file.OnProgress = [&](TObject*, int32_t, LPEXTRACTINGINFOEX, bool&) { ++progress; };
  arctest::ScriptResult("UNLHA32.DLL", "Unlha", 0x8001);
  TArchiverOptions given;
  given.x = 1;
  EXPECT_EQ(file.MakeSfx(nullptr, &given, "C:\\out"), 0x8001);
  const std::string cmd = UnlhaCall().text;
  EXPECT_EQ(cmd.substr(0, 2), "s ");
  EXPECT_TRUE(Contains(cmd, " -x1 ")) << cmd;
  EXPECT_TRUE(Contains(cmd, "\"C:\\arc.lzh\" \"C:\\out\\\"")) << cmd;
  EXPECT_EQ(file.CommandLine(), cmd);
  EXPECT_TRUE(arctest::CallsOf("UnlhaSetOwnerWindowEx").empty());
  EXPECT_EQ(progress, 0);
  EXPECT_EQ(file.WindowHandle(), nullptr);
}

TEST_F(PackTest, CommandLineIsCopiedAfterARaisingMakeSfxButNotAfterARaisingPack) {
  file.SetFileName("C:\\arc.rar");  // the RAR back-end neither packs nor makes programs
  file.Archiver()->CmdLine = "earlier command";
  EXPECT_EQ(ArchiverMessage([&] { file.Pack(nullptr, nullptr, "", nullptr); }),
            Sjis("この形式では書庫ファイルの作成をサポートしておりません。"));
  EXPECT_EQ(file.CommandLine(), "");
  EXPECT_EQ(ArchiverMessage([&] { file.MakeSfx(nullptr, nullptr, ""); }),
            Sjis("この形式では自己解凍書庫の作成をサポートしておりません。"));
  EXPECT_EQ(file.CommandLine(), "earlier command");
}
