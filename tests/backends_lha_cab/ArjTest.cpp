// The ARJ back-end: extraction through UNARJ32J.DLL with LHA's command line,
// and LHA's packing operations inherited through UNLHA32.DLL.
#include <gtest/gtest.h>

#include <functional>

#include "Families.h"

using namespace vx;
using backendtest::ArchiverMessage;
using backendtest::Window;
using vxtest::Sjis;

namespace {

const char kLhaMissing[] = "Lha 形式書庫を扱うには UNLHA32.DLL が 必要です。";
const char kArjMissing[] = "ARJ 形式書庫を扱うには UNARJ32J.DLL が 必要です。";

class ArjBackend : public lhacabtest::BackendTest {
 protected:
  arctest::Call OnlyUnarjCall() { return OnlyCall("UNARJ32J.DLL", "Unarj"); }
};

// One of the four operations TArj32 takes over from TLha32.
struct Inherited {
  const char* what;
  std::function<int(TLha32&, HWND, const TArchiverOptions&, std::string&)> run;
};

const TStringList kFiles = {"x\\1.txt", "y.txt"};

const Inherited kInherited[] = {
    {"Pack",
     [](TLha32& b, HWND w, const TArchiverOptions& o, std::string& out) {
       return b.Pack(w, "C:\\a.arj", o, "C:\\base", &kFiles, false, out);
     }},
    {"Delete",
     [](TLha32& b, HWND w, const TArchiverOptions& o, std::string& out) {
       return b.Delete(w, "C:\\a.arj", o, "C:\\base", &kFiles, false, out);
     }},
    {"Update",
     [](TLha32& b, HWND w, const TArchiverOptions& o, std::string& out) {
       return b.Update(w, "C:\\a.arj", o, "C:\\base", &kFiles, false, out);
     }},
    {"MakeSfx",
     [](TLha32& b, HWND w, const TArchiverOptions& o, std::string& out) {
       return b.MakeSfx(w, "C:\\a.arj", o, "C:\\out", out);
     }},
};

}  // namespace

TEST_F(ArjBackend, ExtractRunsTheLhaLineThroughUnarjWithoutAWindow) {
  vxtest::TestLibraries libs({"full/UNARJ32J.DLL"});
  TArj32 arj;
  TArchiverOptions options;
  options.x = 0;
  const TStringList files = {"1.txt"};
  EXPECT_EQ(arj.Extract(Window(0x21), "rel\\a.arj", options, "C:\\out", &files, false, output), 0);
  const std::string expected = "x -+ -x0  \"rel\\a.arj\" \"C:\\out\\\" \"1.txt\" ";
  EXPECT_EQ(arj.CmdLine, expected);
  const auto call = OnlyUnarjCall();
  EXPECT_EQ(call.text, expected);
  EXPECT_EQ(call.window, nullptr);
}

TEST_F(ArjBackend, ExtractTakesTheLineOfLhasBuilder) {
  vxtest::TestLibraries libs({"full/UNARJ32J.DLL", "full/UNLHA32.DLL"});
  TArchiverOptions options;
  options.a = 1;
  options.w = "C:\\w";
  options.jx = {"*.bak"};
  options.gw = 3;
  options.UserOptions = "-U";
  options.UserFileList = "tail";
  TLha32 lha;
  lha.Extract(nullptr, "C:\\a.arj", options, "C:\\out", &kFiles, false, output);
  TArj32 arj;
  arj.Extract(nullptr, "C:\\a.arj", options, "C:\\out", &kFiles, false, output);
  const auto calls = arctest::Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].library, "UNLHA32.DLL");
  EXPECT_EQ(calls[1].library, "UNARJ32J.DLL");
  EXPECT_EQ(calls[1].entry, "Unarj");
  EXPECT_EQ(calls[1].text, calls[0].text);
  EXPECT_EQ(arj.CmdLine, lha.CmdLine);
}

TEST_F(ArjBackend, ExtractResponseFileFollowsTheArgumentNotTheUsage) {
  vxtest::TestLibraries libs({"full/UNARJ32J.DLL"});
  TArj32 arj;
  TArchiverOptions options;
  options.ResFileName = "C:\\resp.txt";
  const TStringList files = {"a.txt"};
  struct Row {
    const char* what;
    bool argument;
    TResFileUsage usage;
    std::string expected;
  };
  const Row rows[] = {
      {"argument true, usage empty", true, {}, "x -+  \"C:\\a.arj\" \"@C:\\resp.txt\" "},
      {"argument false, usage with ruOnUnpack", false, {ruOnUnpack},
       "x -+  \"C:\\a.arj\" \"a.txt\" "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    arctest::Reset();
    options.ResFileUsage = row.usage;
    arj.Extract(nullptr, "C:\\a.arj", options, "", &files, row.argument, output);
    EXPECT_EQ(OnlyUnarjCall().text, row.expected);
  }
  EXPECT_EQ(drive.ReadFile("resp.txt"), "\"a.txt\"\r\n");
}

TEST_F(ArjBackend, OwnerWindowForcesN1OnTheExtractionLine) {
  vxtest::TestLibraries libs({"full/UNARJ32J.DLL"});
  TArj32 arj;
  TArchiverOptions options;
  options.n = 0;
  arj.SetOwnerWindowEx(Window(0x44), nullptr);
  EXPECT_EQ(arctest::CallsOf("UnarjSetOwnerWindowEx").size(), 1u);
  arctest::Reset();
  arj.Extract(Window(0x21), "C:\\a.arj", options, "", nullptr, false, output);
  EXPECT_EQ(OnlyUnarjCall().text, "x -+ -n1  \"C:\\a.arj\" ");
}

// ---- the operations inherited from TLha32 ------------------------------------------

TEST_F(ArjBackend, InheritedOperationsAreLhasThroughUnlha) {
  vxtest::TestLibraries libs({"full/UNARJ32J.DLL", "full/UNLHA32.DLL"});
  TArchiverOptions options;
  options.x = 0;
  options.UserFileList = "tail";
  TLha32 lha;
  TArj32 arj;
  for (const Inherited& op : kInherited) {
    SCOPED_TRACE(op.what);
    arctest::Reset();
    arctest::ScriptResult("UNLHA32.DLL", "Unlha", 0x8006);
    EXPECT_EQ(op.run(lha, Window(0x21), options, output), 0x8006);
    EXPECT_EQ(op.run(arj, Window(0x21), options, output), 0x8006);
    const auto calls = arctest::Calls();
    ASSERT_EQ(calls.size(), 2u);
    for (const auto& call : calls) {
      EXPECT_EQ(call.library, "UNLHA32.DLL");
      EXPECT_EQ(call.entry, "Unlha");
      EXPECT_EQ(call.window, Window(0x21));
    }
    EXPECT_EQ(calls[1].text, calls[0].text);
    EXPECT_EQ(arj.CmdLine, lha.CmdLine);
  }
}

TEST_F(ArjBackend, InheritedOperationsNeedUnlhaEvenWithUnarjPresent) {
  vxtest::TestLibraries libs({"full/UNARJ32J.DLL"});
  TArj32 arj;  // constructing needs UNARJ32J.DLL only
  TArchiverOptions options;
  for (const Inherited& op : kInherited) {
    SCOPED_TRACE(op.what);
    EXPECT_EQ(ArchiverMessage([&] { op.run(arj, nullptr, options, output); }), Sjis(kLhaMissing));
  }
  EXPECT_TRUE(arctest::Calls().empty());
}

TEST_F(ArjBackend, ConstructionDoesNotLoadUnlha) {
  vxtest::TestLibraries libs({"full/UNARJ32J.DLL", "full/UNLHA32.DLL"});
  TArj32 arj;
  libs.Remove("UNLHA32.DLL");  // too late for a library loaded by the constructor
  TArchiverOptions options;
  EXPECT_EQ(ArchiverMessage([&] { kInherited[0].run(arj, nullptr, options, output); }),
            Sjis(kLhaMissing));
}

TEST_F(ArjBackend, FreeDllLeavesUnlhaLoaded) {
  vxtest::TestLibraries libs({"full/UNARJ32J.DLL", "full/UNLHA32.DLL"});
  TArj32 arj;
  TArchiverOptions options;
  kInherited[0].run(arj, nullptr, options, output);  // loads UNLHA32.DLL
  TArj32::FreeDLL();
  libs.Remove("UNLHA32.DLL");
  libs.Remove("UNARJ32J.DLL");
  arctest::Reset();
  EXPECT_EQ(kInherited[0].run(arj, nullptr, options, output), 0);
  EXPECT_EQ(OnlyCall("UNLHA32.DLL", "Unlha").text, arj.CmdLine);
  EXPECT_EQ(ArchiverMessage([] { TArj32 again; }), Sjis(kArjMissing));
}

TEST_F(ArjBackend, UnarjAloneServesEverythingButTheInheritedOperations) {
  vxtest::TestLibraries libs({"full/UNARJ32J.DLL"});
  TArj32 arj;
  TArchiverOptions options;
  arctest::ScriptResult("UNARJ32J.DLL", "UnarjOpenArchive", 0x9);
  const HARC archive = arj.OpenArchive(nullptr, "C:\\a.arj", 0);
  INDIVIDUALINFO info{};
  arj.FindFirst(archive, &info, "*");
  arj.FindNext(archive, &info);
  arj.CloseArchive(archive);
  arj.CheckArchive("C:\\a.arj", 0, 0);
  arj.SetOwnerWindowEx(Window(0x5), nullptr);
  arj.KillOwnerWindowEx(Window(0x5));
  arj.Extract(nullptr, "C:\\a.arj", options, "", nullptr, false, output);
  EXPECT_TRUE(IsArjArchive("C:\\a.arj"));
  for (const auto& call : arctest::Calls()) EXPECT_EQ(call.library, "UNARJ32J.DLL");
  EXPECT_EQ(arctest::Calls().size(), 10u);
}
