// The LHA back-end's command lines: the packing example, every switch in the
// library's order, the owner window's n switch, command words, directories
// and response files per operation.
#include <gtest/gtest.h>

#include <functional>

#include "Families.h"

using namespace vx;
using backendtest::Window;
using vxtest::Sjis;

namespace {

class LhaCommand : public lhacabtest::BackendTest {
 protected:
  arctest::Call OnlyUnlhaCall() { return OnlyCall("UNLHA32.DLL", "Unlha"); }
  vxtest::TestLibraries libs{{"full/UNLHA32.DLL"}};
};

}  // namespace

TEST_F(LhaCommand, PackingExample) {
  TLha32 lha;
  TArchiverOptions options;
  options.x = 0;
  options.gw = 3;
  const TStringList files = {"C:\\x\\1.txt", "C:\\x\\2.txt"};
  EXPECT_EQ(lha.Pack(nullptr, "C:\\T\\a.lzh", options, "", &files, false, output), 0);
  const std::string expected = "u -+ -x0 -gw3  \"C:\\T\\a.lzh\" \"C:\\x\\1.txt\" \"C:\\x\\2.txt\" ";
  EXPECT_EQ(lha.CmdLine, expected);
  EXPECT_EQ(OnlyUnlhaCall().text, expected);
}

TEST_F(LhaCommand, EverySwitchInTheLibrarysOrder) {
  TLha32 lha;
  TArchiverOptions o;
  int8_t v = 0;
  for (int8_t* p : {&o.a, &o.c, &o.e, &o.f, &o.h, &o.i, &o.l, &o.m, &o.n, &o.o, &o.p, &o.r,
                    &o.s, &o.t, &o.u, &o.x, &o.y, &o.z, &o.jc, &o.jd, &o.je, &o.jf, &o.jh,
                    &o.ji, &o.jm, &o.jn, &o.jp, &o.jr, &o.jss, &o.jw, &o.jyc, &o.jyd, &o.jyk,
                    &o.jyn, &o.jyo, &o.ga, &o.gd, &o.ge, &o.gf, &o.gj, &o.gm, &o.gn, &o.go,
                    &o.gp, &o.gs, &o.gu, &o.gw})
    *p = ++v;
  o.w = "C:\\w";
  o.jo = "980101";
  o.job = "991231";
  o.jx = {"*.bak", "a b"};
  o.jz = "comment";
  o.gr = "C:\\r";
  o.UserOptions = "-U";
  lha.Pack(nullptr, "a.lzh", o, "", nullptr, false, output);
  EXPECT_EQ(OnlyUnlhaCall().text,
            "u -+ -a1 -c2 -e3 -f4 -h5 -i6 -l7 -m8 -n9 -o10 -p11 -r12 -s13 -t14 -u15"
            " \"-wC:\\w\\\""
            " -x16 -y17 -z18 -jc19 -jd20 -je21 -jf22 -jh23 -ji24 -jm25 -jn26"
            " \"-jo980101\" \"-job991231\""
            " -jp27 -jr28 -jss29 -jw30"
            " \"-jx*.bak\" \"-jxa b\""
            " -jyc31 -jyd32 -jyk33 -jyn34 -jyo35"
            " \"-jzcomment\""
            " -ga36 -gd37 -ge38 -gf39 -gj40 -gm41 -gn42 -go43 -gp44"
            " \"-grC:\\r\""
            " -gs45 -gu46 -gw47"
            " -U \"a.lzh\" ");
}

// ---- switch rules, case by case ----------------------------------------------------

namespace {

struct SwitchCase {
  const char* name;
  std::function<void(TArchiverOptions&)> set;
  std::string pieces;  // between -+ and UserOptions
  bool ownerWindow = false;
};

class LhaSwitch : public LhaCommand, public ::testing::WithParamInterface<SwitchCase> {};

void None(TArchiverOptions&) {}

}  // namespace

TEST_P(LhaSwitch, Pack) {
  TLha32 lha;
  if (GetParam().ownerWindow) {
    lha.SetOwnerWindowEx(Window(0x44), nullptr);
    arctest::Reset();
  }
  TArchiverOptions options;
  GetParam().set(options);
  lha.Pack(nullptr, "a.lzh", options, "", nullptr, false, output);
  const std::string pieces = GetParam().pieces;
  EXPECT_EQ(OnlyUnlhaCall().text, "u -+" + (pieces.empty() ? "" : " " + pieces) + "  \"a.lzh\" ");
}

INSTANTIATE_TEST_SUITE_P(
    LhaBackend, LhaSwitch,
    ::testing::Values(
        SwitchCase{"Initial", None, ""},
        SwitchCase{"r0", [](TArchiverOptions& o) { o.r = 0; }, "-r0"},
        SwitchCase{"rMinus1", [](TArchiverOptions& o) { o.r = -1; }, ""},
        SwitchCase{"rMinus5", [](TArchiverOptions& o) { o.r = -5; }, "-r-5"},
        SwitchCase{"jmUnset", [](TArchiverOptions& o) { o.jm = -1; }, ""},
        SwitchCase{"jm0", [](TArchiverOptions& o) { o.jm = 0; }, "-jm0"},
        SwitchCase{"jm9", [](TArchiverOptions& o) { o.jm = 9; }, "-jm9"},
        SwitchCase{"nUnset", [](TArchiverOptions& o) { o.n = -1; }, ""},
        SwitchCase{"n0", [](TArchiverOptions& o) { o.n = 0; }, "-n0"},
        SwitchCase{"n2", [](TArchiverOptions& o) { o.n = 2; }, "-n2"},
        SwitchCase{"nUnsetWithOwnerWindow", [](TArchiverOptions& o) { o.n = -1; }, "-n1", true},
        SwitchCase{"n0WithOwnerWindow", [](TArchiverOptions& o) { o.n = 0; }, "-n1", true},
        SwitchCase{"n2WithOwnerWindow", [](TArchiverOptions& o) { o.n = 2; }, "-n1", true},
        SwitchCase{"nKeepsItsPlaceWithOwnerWindow",
                   [](TArchiverOptions& o) {
                     o.m = 2;
                     o.o = 3;
                   },
                   "-m2 -n1 -o3", true},
        SwitchCase{"wEmpty", [](TArchiverOptions& o) { o.w = ""; }, ""},
        SwitchCase{"wGetsBackslash", [](TArchiverOptions& o) { o.w = "C:\\t"; }, "\"-wC:\\t\\\""},
        SwitchCase{"wKeepsBackslash", [](TArchiverOptions& o) { o.w = "C:\\t\\"; },
                   "\"-wC:\\t\\\""},
        SwitchCase{"wRoot", [](TArchiverOptions& o) { o.w = "C:\\"; }, "\"-wC:\\\""},
        SwitchCase{"joEmpty", [](TArchiverOptions& o) { o.jo = ""; }, "\"-jo\""},
        SwitchCase{"jobEmpty", [](TArchiverOptions& o) { o.job = ""; }, "\"-job\""},
        SwitchCase{"jzEmpty", [](TArchiverOptions& o) { o.jz = ""; }, "\"-jz\""},
        SwitchCase{"grEmpty", [](TArchiverOptions& o) { o.gr = ""; }, "\"-gr\""},
        SwitchCase{"joWithQuoteUnescaped", [](TArchiverOptions& o) { o.jo = "a\"b"; },
                   "\"-joa\"b\""},
        SwitchCase{"jxOneLine", [](TArchiverOptions& o) { o.jx = {"*.tmp"}; }, "\"-jx*.tmp\""},
        SwitchCase{"jxEmptyLine", [](TArchiverOptions& o) { o.jx = {""}; }, "\"-jx\""}),
    [](const ::testing::TestParamInfo<SwitchCase>& info) { return info.param.name; });

TEST_F(LhaCommand, OwnerWindowGoneGivesTheOptionsNAgain) {
  TLha32 lha;
  TArchiverOptions options;
  options.n = 0;
  lha.SetOwnerWindowEx(Window(0x44), nullptr);
  lha.KillOwnerWindowEx(Window(0x44));
  arctest::Reset();
  lha.Pack(nullptr, "a.lzh", options, "", nullptr, false, output);
  EXPECT_EQ(OnlyUnlhaCall().text, "u -+ -n0  \"a.lzh\" ");
}

TEST_F(LhaCommand, WorkDirectoryEndingInADoubleByteCharacterGetsABackslash) {
  TLha32 lha;
  TArchiverOptions options;
  options.w = Sjis("C:\\表");  // trail byte 0x5C
  ASSERT_EQ(options.w.back(), '\\');
  lha.Pack(nullptr, "a.lzh", options, "", nullptr, false, output);
  EXPECT_EQ(OnlyUnlhaCall().text, "u -+ \"-w" + Sjis("C:\\表") + "\\\"  \"a.lzh\" ");
}

// ---- command words, directories, file lists ---------------------------------------------

TEST_F(LhaCommand, CommandWordsAndDirectoriesPerOperation) {
  TLha32 lha;
  TArchiverOptions options;
  options.UserOptions = "-U";
  options.UserFileList = "tail";
  const TStringList files = {"x\\1.txt", "y.txt"};
  const std::string names = " \"x\\1.txt\" \"y.txt\" tail";
  const HWND window = Window(0x21);
  struct Row {
    const char* what;
    std::function<int()> run;
    std::string expected;
  };
  const Row rows[] = {
      {"Pack with a base directory",
       [&] { return lha.Pack(window, "C:\\a.lzh", options, "C:\\base", &files, false, output); },
       "u -+ -U \"C:\\a.lzh\" \"C:\\base\\\"" + names},
      {"Extract into a directory ending in a backslash",
       [&] { return lha.Extract(window, "C:\\a.lzh", options, "C:\\out\\", &files, false, output); },
       "x -+ -U \"C:\\a.lzh\" \"C:\\out\\\"" + names},
      {"Delete passes no directory",
       [&] { return lha.Delete(window, "C:\\a.lzh", options, "C:\\base", &files, false, output); },
       "d -+ -U \"C:\\a.lzh\"" + names},
      {"Update passes the directory",
       [&] { return lha.Update(window, "C:\\a.lzh", options, "C:\\base", &files, false, output); },
       "f -+ -U \"C:\\a.lzh\" \"C:\\base\\\"" + names},
      {"MakeSfx passes the directory and no file names, UserFileList still",
       [&] { return lha.MakeSfx(window, "C:\\a.lzh", options, "C:\\out", output); },
       "s -+ -U \"C:\\a.lzh\" \"C:\\out\\\" tail"},
      {"Relative archive name stays relative",
       [&] { return lha.Pack(window, "rel\\a.lzh", options, "", nullptr, false, output); },
       "u -+ -U \"rel\\a.lzh\" tail"},
      {"Archive name unset",
       [&] { return lha.Extract(window, NoValue, options, "", nullptr, false, output); },
       "x -+ -U tail"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    arctest::Reset();
    arctest::ScriptResult("UNLHA32.DLL", "Unlha", 0x8005);
    EXPECT_EQ(row.run(), 0x8005);
    const auto call = OnlyUnlhaCall();
    EXPECT_EQ(call.text, row.expected);
    EXPECT_EQ(call.window, window);
    EXPECT_EQ(lha.CmdLine, row.expected);
  }
}

TEST_F(LhaCommand, ResponseFileFollowsTheUsageSetNotTheArgument) {
  TLha32 lha;
  TArchiverOptions options;
  options.ResFileName = "C:\\resp.txt";
  const TStringList files = {"a.txt"};
  const std::string viaFile = " -+  \"C:\\a.lzh\" \"@C:\\resp.txt\" ";
  const std::string onLine = " -+  \"C:\\a.lzh\" \"a.txt\" ";
  enum Op { Pack, Extract, Delete, Update };
  struct Row {
    const char* what;
    Op op;
    TResFileUsage usage;
    bool argument;
    std::string expected;
  };
  const TResFileUsage defaults = TArchiverOptions().ResFileUsage;
  const Row rows[] = {
      {"pack in usage, argument false", Pack, {ruOnPack}, false, "u" + viaFile},
      {"pack not in usage, argument true", Pack, {ruOnUnpack, ruOnRemoveItem, ruOnUpdate}, true,
       "u" + onLine},
      {"unpack in usage, argument false", Extract, {ruOnUnpack}, false, "x" + viaFile},
      {"unpack not in usage, argument true", Extract, {ruOnPack, ruOnRemoveItem, ruOnUpdate}, true,
       "x" + onLine},
      {"remove in usage, argument false", Delete, {ruOnRemoveItem}, false, "d" + viaFile},
      {"remove not in usage, argument true", Delete, {ruOnPack, ruOnUnpack, ruOnUpdate}, true,
       "d" + onLine},
      {"update in usage, argument false", Update, {ruOnUpdate}, false, "f" + viaFile},
      {"update not in the default usage, argument true", Update, defaults, true, "f" + onLine},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    arctest::Reset();
    options.ResFileUsage = row.usage;
    switch (row.op) {
      case Pack:
        lha.Pack(nullptr, "C:\\a.lzh", options, "", &files, row.argument, output);
        break;
      case Extract:
        lha.Extract(nullptr, "C:\\a.lzh", options, "", &files, row.argument, output);
        break;
      case Delete:
        lha.Delete(nullptr, "C:\\a.lzh", options, "", &files, row.argument, output);
        break;
      case Update:
        lha.Update(nullptr, "C:\\a.lzh", options, "", &files, row.argument, output);
        break;
    }
    EXPECT_EQ(OnlyUnlhaCall().text, row.expected);
  }
  EXPECT_EQ(drive.ReadFile("resp.txt"), "\"a.txt\"\r\n");
}

TEST_F(LhaCommand, MakeSfxNeverWritesAResponseFile) {
  TLha32 lha;
  TArchiverOptions options;
  options.ResFileName = "C:\\sfx-resp.txt";
  options.ResFileUsage = {ruOnPack, ruOnUnpack, ruOnRemoveItem, ruOnUpdate};
  lha.MakeSfx(nullptr, "C:\\a.lzh", options, "", output);
  EXPECT_EQ(OnlyUnlhaCall().text, "s -+  \"C:\\a.lzh\" ");
  EXPECT_FALSE(drive.Exists("sfx-resp.txt"));
}

TEST_F(LhaCommand, UnwritableResponseFileStopsBeforeTheLibrary) {
  TLha32 lha;
  lha.CmdLine = "before";
  TArchiverOptions options;
  options.ResFileName = "C:\\no such dir\\resp.txt";
  const TStringList files = {"a.txt"};
  EXPECT_THROW(lha.Pack(nullptr, "C:\\a.lzh", options, "", &files, false, output), EStreamError);
  EXPECT_EQ(lha.CmdLine, "before");
  EXPECT_TRUE(arctest::Calls().empty());
}

TEST_F(LhaCommand, CommandsLoadTheLibraryFirst) {
  TLha32 lha;
  TLha32::FreeDLL();
  libs.Remove("UNLHA32.DLL");
  TArchiverOptions options;
  EXPECT_EQ(backendtest::ArchiverMessage(
                [&] { lha.Pack(nullptr, "C:\\a.lzh", options, "", nullptr, false, output); }),
            Sjis("Lha 形式書庫を扱うには UNLHA32.DLL が 必要です。"));
  EXPECT_TRUE(arctest::Calls().empty());
}
