// Command lines of the ZIP back-end: what reaches ZIP32J, LMZIP32 and
// UNZIP32, byte for byte.
#include <gtest/gtest.h>

#include <functional>

#include "BackendFixture.h"
#include "archivers/ZIP32.h"
#include "support/Scratch.h"

using namespace vx;
using backendtest::ArchiverMessage;
using backendtest::Window;
using vxtest::Sjis;

namespace {

const std::vector<std::string> kAllThree = {"full/UNZIP32.DLL", "full/ZIP32J.DLL",
                                            "full/LMZIP32.DLL"};

class ZipCommandLine : public ::testing::Test {
 protected:
  void SetUp() override { arctest::Reset(); }
  void TearDown() override { TZip32::FreeDLL(); }

  // The one call a test expects, with its library and entry.
  static arctest::Call OnlyCall(const std::string& library, const std::string& entry) {
    const auto calls = arctest::Calls();
    EXPECT_EQ(calls.size(), 1u);
    if (calls.empty()) return arctest::Call();
    EXPECT_EQ(calls[0].library, library);
    EXPECT_EQ(calls[0].entry, entry);
    return calls[0];
  }

  vxtest::DriveC drive;
  std::string output;  // empty: the libraries get a null buffer
};

}  // namespace

TEST_F(ZipCommandLine, Zip32jPackingWithDialogOptions) {
  vxtest::TestLibraries libs(kAllThree);
  TZip32 zip;
  TArchiverOptions options;
  options.x = 0;
  options.gw = 3;
  const TStringList files = {"C:\\d\\a.txt", "C:\\d\\b.txt"};
  EXPECT_EQ(zip.Pack(Window(0x20), "C:\\T\\a.zip", options, "", &files, false, output), 0);
  const std::string expected = " -D -j  \"C:\\T\\a.zip\" \"C:/d/a.txt\" \"C:/d/b.txt\" ";
  EXPECT_EQ(zip.CmdLine, expected);
  const auto call = OnlyCall("ZIP32J.DLL", "Zip");
  EXPECT_EQ(call.text, expected);
  EXPECT_EQ(call.window, Window(0x20));
  EXPECT_TRUE(call.bufferNull);
}

TEST_F(ZipCommandLine, Lmzip32PackingWithDialogOptions) {
  vxtest::TestLibraries libs({"full/LMZIP32.DLL"});
  TZip32 zip;
  TArchiverOptions options;
  options.x = 0;
  options.gw = 3;
  const TStringList files = {"C:\\d\\a.txt", "C:\\d\\b.txt"};
  EXPECT_EQ(zip.Pack(Window(0x20), "C:\\T\\a.zip", options, "C:\\base", &files, false, output), 0);
  // No -D, backslashes kept, the base directory dropped.
  const std::string expected = "-ru -j  \"C:\\T\\a.zip\" \"C:\\d\\a.txt\" \"C:\\d\\b.txt\" ";
  EXPECT_EQ(zip.CmdLine, expected);
  EXPECT_EQ(OnlyCall("LMZIP32.DLL", "Zip").text, expected);
}

// ---- switch tables --------------------------------------------------------

namespace {

struct SwitchCase {
  const char* name;
  std::function<void(TArchiverOptions&)> set;
  std::string switches;  // the pieces between the command word and UserOptions
  bool ownerWindow = false;
};

// Command word, switches, an empty UserOptions, the archive, an empty UserFileList.
std::string LineOf(const std::string& command, const std::string& switches) {
  return command + (switches.empty() ? "" : " " + switches) + "  \"C:\\a.zip\" ";
}

std::string CaseName(const ::testing::TestParamInfo<SwitchCase>& info) { return info.param.name; }

class Zip32jSwitches : public ZipCommandLine, public ::testing::WithParamInterface<SwitchCase> {};
class UnzipSwitches : public ZipCommandLine, public ::testing::WithParamInterface<SwitchCase> {};
class Lmzip32Switches : public ZipCommandLine, public ::testing::WithParamInterface<SwitchCase> {};

}  // namespace

TEST_P(Zip32jSwitches, Pack) {
  vxtest::TestLibraries libs(kAllThree);
  TZip32 zip;
  TArchiverOptions options;
  GetParam().set(options);
  zip.Pack(nullptr, "C:\\a.zip", options, "", nullptr, false, output);
  EXPECT_EQ(OnlyCall("ZIP32J.DLL", "Zip").text, LineOf("", GetParam().switches));
}

INSTANTIATE_TEST_SUITE_P(
    ZipBackend, Zip32jSwitches,
    ::testing::Values(
        SwitchCase{"Initial", [](TArchiverOptions&) {}, "-D"},
        SwitchCase{"aUnset", [](TArchiverOptions& o) { o.a = -1; }, "-D"},
        SwitchCase{"a0", [](TArchiverOptions& o) { o.a = 0; }, "-D"},
        SwitchCase{"a1", [](TArchiverOptions& o) { o.a = 1; }, "-S -D"},
        SwitchCase{"a2", [](TArchiverOptions& o) { o.a = 2; }, "-S"},
        SwitchCase{"l0", [](TArchiverOptions& o) { o.l = 0; }, "-D"},
        SwitchCase{"l1", [](TArchiverOptions& o) { o.l = 1; }, "-D -v"},
        SwitchCase{"n0", [](TArchiverOptions& o) { o.n = 0; }, "-D"},
        SwitchCase{"n1", [](TArchiverOptions& o) { o.n = 1; }, "-D -q -o"},
        SwitchCase{"r1", [](TArchiverOptions& o) { o.r = 1; }, "-D -r"},
        SwitchCase{"u1", [](TArchiverOptions& o) { o.u = 1; }, "-D -u"},
        SwitchCase{"n1r1u1", [](TArchiverOptions& o) { o.n = o.r = o.u = 1; }, "-D -q -r -o -u"},
        SwitchCase{"x0", [](TArchiverOptions& o) { o.x = 0; }, "-D -j"},
        SwitchCase{"x1", [](TArchiverOptions& o) { o.x = 1; }, "-D"},
        SwitchCase{"jc1", [](TArchiverOptions& o) { o.jc = 1; }, "-D -FF"},
        SwitchCase{"ji1", [](TArchiverOptions& o) { o.ji = 1; }, "-D -k"},
        SwitchCase{"jmUnset", [](TArchiverOptions& o) { o.jm = -1; }, "-D"},
        SwitchCase{"jm0", [](TArchiverOptions& o) { o.jm = 0; }, "-D -0"},
        SwitchCase{"jm9", [](TArchiverOptions& o) { o.jm = 9; }, "-D -9"},
        SwitchCase{"gd1", [](TArchiverOptions& o) { o.gd = 1; }, "-D -J"},
        SwitchCase{"NotReadByZip32j", [](TArchiverOptions& o) { o.c = o.o = o.p = o.gw = 1; },
                   "-D"},
        SwitchCase{"AllInOrder",
                   [](TArchiverOptions& o) {
                     o.a = o.l = o.n = o.r = o.u = o.jc = o.ji = o.gd = 1;
                     o.x = 0;
                     o.jm = 9;
                   },
                   "-S -D -v -q -r -o -u -j -FF -k -9 -J"}),
    CaseName);

TEST_P(UnzipSwitches, Extract) {
  vxtest::TestLibraries libs(kAllThree);
  TZip32 zip;
  if (GetParam().ownerWindow) {
    zip.SetOwnerWindowEx(Window(0x44), nullptr);
    arctest::Reset();
  }
  TArchiverOptions options;
  GetParam().set(options);
  zip.Extract(nullptr, "C:\\a.zip", options, "", nullptr, false, output);
  EXPECT_EQ(OnlyCall("UNZIP32.DLL", "UnZip").text, LineOf("-x", GetParam().switches));
}

INSTANTIATE_TEST_SUITE_P(
    ZipBackend, UnzipSwitches,
    ::testing::Values(
        SwitchCase{"Initial", [](TArchiverOptions&) {}, ""},
        SwitchCase{"c0", [](TArchiverOptions& o) { o.c = 0; }, ""},
        SwitchCase{"c1", [](TArchiverOptions& o) { o.c = 1; }, "-o"},
        SwitchCase{"c2", [](TArchiverOptions& o) { o.c = 2; }, ""},
        SwitchCase{"n0", [](TArchiverOptions& o) { o.n = 0; }, ""},
        SwitchCase{"n1", [](TArchiverOptions& o) { o.n = 1; }, "--i"},
        SwitchCase{"OwnerWindowUnsetN", [](TArchiverOptions&) {}, "--i", true},
        SwitchCase{"OwnerWindowN0", [](TArchiverOptions& o) { o.n = 0; }, "--i", true},
        SwitchCase{"x0", [](TArchiverOptions& o) { o.x = 0; }, "-j"},
        SwitchCase{"x1", [](TArchiverOptions& o) { o.x = 1; }, ""},
        SwitchCase{"NotReadByUnzip", [](TArchiverOptions& o) { o.a = o.r = o.jm = o.gd = 1; }, ""},
        SwitchCase{"AllInOrder",
                   [](TArchiverOptions& o) {
                     o.c = o.n = 1;
                     o.x = 0;
                   },
                   "-o --i -j"}),
    CaseName);

TEST_P(Lmzip32Switches, Pack) {
  vxtest::TestLibraries libs({"full/LMZIP32.DLL"});
  TZip32 zip;
  TArchiverOptions options;
  GetParam().set(options);
  zip.Pack(nullptr, "C:\\a.zip", options, "", nullptr, false, output);
  EXPECT_EQ(OnlyCall("LMZIP32.DLL", "Zip").text, LineOf("-ru", GetParam().switches));
}

INSTANTIATE_TEST_SUITE_P(
    ZipBackend, Lmzip32Switches,
    ::testing::Values(SwitchCase{"Initial", [](TArchiverOptions&) {}, ""},
                      SwitchCase{"c0", [](TArchiverOptions& o) { o.c = 0; }, ""},
                      SwitchCase{"c1", [](TArchiverOptions& o) { o.c = 1; }, "-o"},
                      SwitchCase{"x0", [](TArchiverOptions& o) { o.x = 0; }, "-j"},
                      SwitchCase{"x1", [](TArchiverOptions& o) { o.x = 1; }, ""},
                      SwitchCase{"Zip32jSwitchesIgnored",
                                 [](TArchiverOptions& o) {
                                   o.a = o.l = o.n = o.r = o.u = o.jc = o.ji = o.gd = 1;
                                   o.jm = 9;
                                 },
                                 ""},
                      SwitchCase{"AllInOrder",
                                 [](TArchiverOptions& o) {
                                   o.c = 1;
                                   o.x = 0;
                                 },
                                 "-o -j"}),
    CaseName);

// ---- command words and tails ------------------------------------------------

TEST_F(ZipCommandLine, CommandWordsDirectoriesAndTails) {
  vxtest::TestLibraries libs(kAllThree);
  TZip32 zip;
  TArchiverOptions options;
  options.UserOptions = "-U";
  options.UserFileList = "tail";
  const TStringList files = {"x\\1.txt"};
  struct Row {
    const char* what;
    std::function<void()> run;
    const char* library;
    const char* entry;
    std::string expected;
  };
  const Row rows[] = {
      {"Pack keeps the base directory",
       [&] { zip.Pack(nullptr, "C:\\a.zip", options, "C:\\base", &files, false, output); },
       "ZIP32J.DLL", "Zip", " -D -U \"C:\\a.zip\" \"C:\\base\\\" \"x/1.txt\" tail"},
      {"Delete passes no directory",
       [&] { zip.Delete(nullptr, "C:\\a.zip", options, "C:\\base", &files, false, output); },
       "ZIP32J.DLL", "Zip", "-d -D -U \"C:\\a.zip\" \"x/1.txt\" tail"},
      {"Update passes the directory on",
       [&] { zip.Update(nullptr, "C:\\a.zip", options, "C:\\base\\", &files, false, output); },
       "ZIP32J.DLL", "Zip", "-f -D -U \"C:\\a.zip\" \"C:\\base\\\" \"x/1.txt\" tail"},
      {"Extract into a directory",
       [&] { zip.Extract(nullptr, "C:\\a.zip", options, "C:\\out", &files, false, output); },
       "UNZIP32.DLL", "UnZip", "-x -U \"C:\\a.zip\" \"C:\\out\\\" \"x/1.txt\" tail"},
      {"Extract without a file list",
       [&] { zip.Extract(nullptr, "C:\\a.zip", options, "", nullptr, false, output); },
       "UNZIP32.DLL", "UnZip", "-x -U \"C:\\a.zip\" tail"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    arctest::Reset();
    row.run();
    EXPECT_EQ(OnlyCall(row.library, row.entry).text, row.expected);
    EXPECT_EQ(zip.CmdLine, row.expected);
  }
}

// With LMZIP32 alone, Delete and Update speak its language as Pack does:
// its switches only, names with their backslashes and brackets.
TEST_F(ZipCommandLine, Lmzip32AloneDeletesAndUpdatesWithItsOwnSwitches) {
  vxtest::TestLibraries libs({"full/UNZIP32.DLL", "full/LMZIP32.DLL"});
  TZip32 zip;
  TArchiverOptions options;
  options.x = 0;
  options.c = 1;
  options.a = 1;  // ZIP32J's -S -D: not LMZIP32's
  options.UserOptions = "-U";
  options.UserFileList = "tail";
  const TStringList files = {"x\\[1].txt"};
  zip.Delete(nullptr, "C:\\a.zip", options, "C:\\base", &files, false, output);
  EXPECT_EQ(OnlyCall("LMZIP32.DLL", "Zip").text, "-d -o -j -U \"C:\\a.zip\" \"x\\[1].txt\" tail");
  arctest::Reset();
  zip.Update(nullptr, "C:\\a.zip", options, "C:\\base\\", &files, false, output);
  EXPECT_EQ(OnlyCall("LMZIP32.DLL", "Zip").text,
            "-f -o -j -U \"C:\\a.zip\" \"C:\\base\\\" \"x\\[1].txt\" tail");
}

TEST_F(ZipCommandLine, LibraryResultAndReportComeBackUnchanged) {
  vxtest::TestLibraries libs(kAllThree);
  TZip32 zip;
  TArchiverOptions options;
  arctest::ScriptResult("ZIP32J.DLL", "Zip", 0x8012);
  arctest::ScriptReport("ZIP32J.DLL", "Zip", "report");
  std::string out(4, 'x');
  EXPECT_EQ(zip.Pack(nullptr, "C:\\a.zip", options, "", nullptr, false, out), 0x8012);
  EXPECT_EQ(out, std::string("rep\0", 4));
  const auto call = OnlyCall("ZIP32J.DLL", "Zip");
  EXPECT_FALSE(call.bufferNull);
  EXPECT_EQ(call.bufferSize, 4u);
  EXPECT_EQ(zip.CmdLine, call.text);

  arctest::Reset();
  arctest::ScriptResult("UNZIP32.DLL", "UnZip", 0x800D);
  EXPECT_EQ(zip.Extract(nullptr, "C:\\a.zip", options, "", nullptr, false, output), 0x800D);
}

// ---- the name converter -----------------------------------------------------

namespace {

struct NameCase {
  const char* name;
  std::string in;
  std::string out;
};

class ZipNameConverter : public ::testing::TestWithParam<NameCase> {};

}  // namespace

TEST_P(ZipNameConverter, Converts) { EXPECT_EQ(ZipFileNameConverter(GetParam().in), GetParam().out); }

INSTANTIATE_TEST_SUITE_P(
    ZipBackend, ZipNameConverter,
    ::testing::Values(
        NameCase{"BracketsAndBackslashes", "C:\\a[1]\\b.txt", "C:/a[[]1]/b.txt"},
        NameCase{"EveryOpeningBracket", "[[x]", "[[][[]x]"},
        NameCase{"Empty", "", ""},
        NameCase{"PlainName", "a.txt", "a.txt"},
        // 表 is 0x95 0x5C: its trail byte is never a backslash.
        NameCase{"TrailByteBackslashKept", Sjis("C:\\表\\x.txt"), Sjis("C:/表/x.txt")},
        NameCase{"TrailByteBeforeBracket", Sjis("表[1]"), Sjis("表[[]1]")},
        // ー is 0x81 0x5B: its trail byte is never an opening bracket.
        NameCase{"TrailByteBracketKept", Sjis("ー[ー]\\ー"), Sjis("ー[[]ー]/ー")},
        NameCase{"DoubleByteAtEnd", Sjis("d\\表"), Sjis("d/表")},
        NameCase{"LoneLeadByteAtEnd", std::string("a\\\x95"), std::string("a/\x95")}),
    [](const ::testing::TestParamInfo<NameCase>& info) { return info.param.name; });

TEST_F(ZipCommandLine, ConverterTouchesOnlyTheFileList) {
  vxtest::TestLibraries libs(kAllThree);
  TZip32 zip;
  TArchiverOptions options;
  options.UserOptions = "-U C:\\o[4]";
  options.UserFileList = "C:\\u[3]";
  const TStringList files = {"C:\\a[1]\\b.txt", Sjis("C:\\表\\c.txt")};
  zip.Pack(nullptr, "C:\\z[1]\\a.zip", options, "C:\\b[2]", &files, false, output);
  EXPECT_EQ(OnlyCall("ZIP32J.DLL", "Zip").text,
            " -D -U C:\\o[4] \"C:\\z[1]\\a.zip\" \"C:\\b[2]\\\" \"C:/a[[]1]/b.txt\" \"" +
                Sjis("C:/表/c.txt") + "\" C:\\u[3]");

  arctest::Reset();
  zip.Extract(nullptr, "C:\\z[1]\\a.zip", options, "C:\\b[2]", &files, false, output);
  EXPECT_EQ(OnlyCall("UNZIP32.DLL", "UnZip").text,
            "-x -U C:\\o[4] \"C:\\z[1]\\a.zip\" \"C:\\b[2]\\\" \"C:/a[[]1]/b.txt\" \"" +
                Sjis("C:/表/c.txt") + "\" C:\\u[3]");
}

TEST_F(ZipCommandLine, ResponseFileNamesAreConvertedToo) {
  vxtest::TestLibraries libs(kAllThree);
  TZip32 zip;
  TArchiverOptions options;
  options.ResFileName = "C:\\resp.txt";
  const TStringList files = {"C:\\a[1]\\b.txt", Sjis("C:\\表\\c.txt")};
  const std::string expectedFile =
      "\"C:/a[[]1]/b.txt\"\r\n\"" + Sjis("C:/表/c.txt") + "\"\r\n";
  const std::string expectedTail = "  \"C:\\a.zip\" \"@C:\\resp.txt\" ";

  zip.Pack(nullptr, "C:\\a.zip", options, "", &files, true, output);
  EXPECT_EQ(OnlyCall("ZIP32J.DLL", "Zip").text, " -D" + expectedTail);
  EXPECT_EQ(drive.ReadFile("resp.txt"), expectedFile);

  arctest::Reset();
  drive.WriteFile("resp.txt", "");
  zip.Extract(nullptr, "C:\\a.zip", options, "", &files, true, output);
  EXPECT_EQ(OnlyCall("UNZIP32.DLL", "UnZip").text, "-x" + expectedTail);
  EXPECT_EQ(drive.ReadFile("resp.txt"), expectedFile);
}

TEST_F(ZipCommandLine, ResponseFileFlagIsTakenAsGiven) {
  vxtest::TestLibraries libs(kAllThree);
  TZip32 zip;
  TArchiverOptions options;
  options.ResFileName = "C:\\resp.txt";
  options.ResFileUsage = {};  // the back-end follows the argument, not the usage set
  const TStringList files = {"a.txt"};
  zip.Pack(nullptr, "C:\\a.zip", options, "", &files, true, output);
  EXPECT_EQ(OnlyCall("ZIP32J.DLL", "Zip").text, " -D  \"C:\\a.zip\" \"@C:\\resp.txt\" ");

  arctest::Reset();
  options.ResFileUsage = {ruOnPack, ruOnUnpack, ruOnRemoveItem, ruOnUpdate};
  zip.Update(nullptr, "C:\\a.zip", options, "", &files, false, output);
  EXPECT_EQ(OnlyCall("ZIP32J.DLL", "Zip").text, "-f -D  \"C:\\a.zip\" \"a.txt\" ");
}

TEST_F(ZipCommandLine, Lmzip32ResponseFileKeepsBackslashes) {
  vxtest::TestLibraries libs({"full/LMZIP32.DLL"});
  TZip32 zip;
  TArchiverOptions options;
  options.ResFileName = "C:\\resp.txt";
  const TStringList files = {"C:\\a[1]\\b.txt"};
  zip.Pack(nullptr, "C:\\a.zip", options, "", &files, true, output);
  EXPECT_EQ(OnlyCall("LMZIP32.DLL", "Zip").text, "-ru  \"C:\\a.zip\" \"@C:\\resp.txt\" ");
  EXPECT_EQ(drive.ReadFile("resp.txt"), "\"C:\\a[1]\\b.txt\"\r\n");
}

// ---- which library packs ----------------------------------------------------

TEST_F(ZipCommandLine, Lmzip32PackingRemovesTheOldArchiveFirst) {
  vxtest::TestLibraries libs({"full/LMZIP32.DLL", "full/UNZIP32.DLL"});
  drive.WriteFile("T/a.zip", "old archive");
  arctest::SetProbePath("C:\\T\\a.zip");
  TZip32 zip;
  TArchiverOptions options;
  zip.Pack(nullptr, "C:\\T\\a.zip", options, "", nullptr, false, output);
  const auto call = OnlyCall("LMZIP32.DLL", "Zip");
  EXPECT_FALSE(call.probeExisted);
  EXPECT_EQ(zip.CmdLine, "-ru  \"C:\\T\\a.zip\" ");
}

TEST_F(ZipCommandLine, Zip32jPackingLeavesTheArchiveToTheLibrary) {
  vxtest::TestLibraries libs(kAllThree);
  drive.WriteFile("T/a.zip", "old archive");
  arctest::SetProbePath("C:\\T\\a.zip");
  TZip32 zip;
  TArchiverOptions options;
  zip.Pack(nullptr, "C:\\T\\a.zip", options, "", nullptr, false, output);
  EXPECT_TRUE(OnlyCall("ZIP32J.DLL", "Zip").probeExisted);
  EXPECT_EQ(drive.ReadFile("T/a.zip"), "old archive");
}

TEST_F(ZipCommandLine, OnlyUnzip32PacksNothingButExtracts) {
  vxtest::TestLibraries libs({"full/UNZIP32.DLL"});
  drive.WriteFile("T/a.zip", "old archive");
  TZip32 zip;
  zip.CmdLine = "before";
  TArchiverOptions options;
  const std::string creation = Sjis("ZIP 形式書庫の作成には ZIP32J.DLL または LMZIP32.DLL が必要です。");
  EXPECT_EQ(ArchiverMessage([&] { zip.Pack(nullptr, "C:\\T\\a.zip", options, "", nullptr, false, output); }),
            creation);
  EXPECT_EQ(zip.CmdLine, "before");
  EXPECT_TRUE(arctest::Calls().empty());
  EXPECT_EQ(drive.ReadFile("T/a.zip"), "old archive");
  // Delete and Update need Zip as well.
  EXPECT_EQ(ArchiverMessage([&] { zip.Delete(nullptr, "C:\\T\\a.zip", options, "", nullptr, false, output); }),
            creation);
  EXPECT_TRUE(arctest::Calls().empty());

  EXPECT_EQ(zip.Extract(nullptr, "C:\\T\\a.zip", options, "", nullptr, false, output), 0);
  EXPECT_EQ(OnlyCall("UNZIP32.DLL", "UnZip").text, "-x  \"C:\\T\\a.zip\" ");
}

TEST_F(ZipCommandLine, OnlyZip32jPacksButDoesNotExtract) {
  vxtest::TestLibraries libs({"full/ZIP32J.DLL"});
  TZip32 zip;
  TArchiverOptions options;
  EXPECT_EQ(ArchiverMessage([&] { zip.Extract(nullptr, "C:\\a.zip", options, "", nullptr, false, output); }),
            Sjis("ZIP 形式書庫の解凍には UNZIP32.DLL または LMZIP32.DLL が必要です。"));
  EXPECT_TRUE(arctest::Calls().empty());
  EXPECT_EQ(zip.Pack(nullptr, "C:\\a.zip", options, "", nullptr, false, output), 0);
  OnlyCall("ZIP32J.DLL", "Zip");
}

TEST_F(ZipCommandLine, PackChoosesByTheLibrariesLoadedAtThatMoment) {
  vxtest::TestLibraries libs({"full/UNZIP32.DLL"});
  TZip32 zip;
  TArchiverOptions options;
  libs.Add("full/ZIP32J.DLL");
  // Pack looks at the handles without loading: ZIP32J is not loaded yet.
  EXPECT_EQ(ArchiverMessage([&] { zip.Pack(nullptr, "C:\\a.zip", options, "", nullptr, false, output); }),
            Sjis("ZIP 形式書庫の作成には ZIP32J.DLL または LMZIP32.DLL が必要です。"));
  // Any loading entry call picks up the library that has appeared since.
  zip.CheckArchive("C:\\a.zip", 0, 0);
  arctest::Reset();
  EXPECT_EQ(zip.Pack(nullptr, "C:\\a.zip", options, "", nullptr, false, output), 0);
  EXPECT_EQ(OnlyCall("ZIP32J.DLL", "Zip").text, " -D  \"C:\\a.zip\" ");
}
