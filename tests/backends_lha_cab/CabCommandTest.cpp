// The CAB back-end's command lines: the packing example, the switch rules,
// which name and directory each command passes, response files.
#include <gtest/gtest.h>

#include <functional>

#include "Families.h"

using namespace vx;
using backendtest::Window;

namespace {

class CabCommand : public lhacabtest::BackendTest {
 protected:
  arctest::Call OnlyCabCall() { return OnlyCall("CAB32.DLL", "Cab"); }
  vxtest::TestLibraries libs{{"full/CAB32.DLL"}};
};

}  // namespace

TEST_F(CabCommand, PackingExample) {
  TCab32 cab;
  TArchiverOptions options;
  options.x = 0;
  const TStringList files = {"C:\\x\\1.txt"};
  EXPECT_EQ(cab.Pack(nullptr, "C:\\T\\a.cab", options, "", &files, false, output), 0);
  const std::string expected = "-a -j  \"C:\\T\\a.cab\" \"C:\\x\\1.txt\" ";
  EXPECT_EQ(cab.CmdLine, expected);
  EXPECT_EQ(OnlyCabCall().text, expected);
}

// ---- switch rules, case by case ----------------------------------------------------

namespace {

struct SwitchCase {
  const char* name;
  std::function<void(TArchiverOptions&)> set;
  std::string pieces;  // between the command word and UserOptions
  bool ownerWindow = false;
};

class CabSwitch : public CabCommand, public ::testing::WithParamInterface<SwitchCase> {};

void None(TArchiverOptions&) {}

}  // namespace

TEST_P(CabSwitch, Pack) {
  TCab32 cab;
  if (GetParam().ownerWindow) {
    cab.SetOwnerWindowEx(Window(0x44), nullptr);
    arctest::Reset();
  }
  TArchiverOptions options;
  GetParam().set(options);
  cab.Pack(nullptr, "a.cab", options, "", nullptr, false, output);
  const std::string pieces = GetParam().pieces;
  EXPECT_EQ(OnlyCabCall().text, "-a" + (pieces.empty() ? "" : " " + pieces) + "  \"a.cab\" ");
}

INSTANTIATE_TEST_SUITE_P(
    CabBackend, CabSwitch,
    ::testing::Values(
        SwitchCase{"Initial", None, ""},
        SwitchCase{"c1", [](TArchiverOptions& o) { o.c = 1; }, "-o"},
        SwitchCase{"c2", [](TArchiverOptions& o) { o.c = 2; }, ""},
        SwitchCase{"c0", [](TArchiverOptions& o) { o.c = 0; }, ""},
        SwitchCase{"n1", [](TArchiverOptions& o) { o.n = 1; }, "-i"},
        SwitchCase{"n0", [](TArchiverOptions& o) { o.n = 0; }, ""},
        SwitchCase{"nUnsetWithOwnerWindow", None, "-i", true},
        SwitchCase{"n0WithOwnerWindow", [](TArchiverOptions& o) { o.n = 0; }, "-i", true},
        SwitchCase{"n1WithOwnerWindow", [](TArchiverOptions& o) { o.n = 1; }, "-i", true},
        SwitchCase{"r1", [](TArchiverOptions& o) { o.r = 1; }, "-r"},
        SwitchCase{"r0", [](TArchiverOptions& o) { o.r = 0; }, ""},
        SwitchCase{"x0", [](TArchiverOptions& o) { o.x = 0; }, "-j"},
        SwitchCase{"x1", [](TArchiverOptions& o) { o.x = 1; }, ""},
        SwitchCase{"ji1", [](TArchiverOptions& o) { o.ji = 1; }, "-q"},
        SwitchCase{"ji0", [](TArchiverOptions& o) { o.ji = 0; }, ""},
        SwitchCase{"AllInOrder",
                   [](TArchiverOptions& o) {
                     o.c = 1;
                     o.n = 1;
                     o.r = 2;
                     o.x = 0;
                     o.ji = 3;
                   },
                   "-o -i -r -j -q"},
        SwitchCase{"OtherOptionsIgnored",
                   [](TArchiverOptions& o) {
                     o.a = o.l = o.m = o.p = o.u = o.jm = o.gd = o.gw = 1;
                     o.w = "C:\\w";
                     o.jo = "980101";
                     o.jx = {"*.bak"};
                   },
                   ""}),
    [](const ::testing::TestParamInfo<SwitchCase>& info) { return info.param.name; });

// ---- command words, names, directories ---------------------------------------------

TEST_F(CabCommand, NameAndDirectoryPerCommand) {
  drive.MakeDir("T");
  TCab32 cab;
  TArchiverOptions options;
  options.UserOptions = "-U";
  options.UserFileList = "tail";
  options.ResFileName = "C:\\resp.txt";
  options.ResFileUsage = {};
  const TStringList files = {"x\\1.txt", "y.txt"};
  const std::string names = " \"x\\1.txt\" \"y.txt\" tail";
  const HWND window = Window(0x21);
  struct Row {
    const char* what;
    std::function<int()> run;
    std::string expected;
  };
  const Row rows[] = {
      {"Extract makes the name absolute",
       [&] { return cab.Extract(window, "a.cab", options, "C:\\out", &files, true, output); },
       "-x -U \"C:\\T\\a.cab\" \"C:\\out\\\"" + names},
      {"Pack keeps the name as given",
       [&] { return cab.Pack(window, "a.cab", options, "C:\\base\\", &files, true, output); },
       "-a -U \"a.cab\" \"C:\\base\\\"" + names},
      {"MakeSfx keeps the name and passes no file names",
       [&] { return cab.MakeSfx(window, "a.cab", options, "C:\\out", output); },
       "-f -U \"a.cab\" \"C:\\out\\\" tail"},
      {"Empty directory adds nothing",
       [&] { return cab.Pack(window, "a.cab", options, "", nullptr, false, output); },
       "-a -U \"a.cab\" tail"},
  };
  backendtest::CurrentDirectory cwd("C:\\T");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    arctest::Reset();
    arctest::ScriptResult("CAB32.DLL", "Cab", 0x8013);
    EXPECT_EQ(row.run(), 0x8013);
    const auto call = OnlyCabCall();
    EXPECT_EQ(call.text, row.expected);
    EXPECT_EQ(call.window, window);
    EXPECT_EQ(cab.CmdLine, row.expected);
  }
  EXPECT_FALSE(drive.Exists("resp.txt"));  // the argument true was not read
}

TEST_F(CabCommand, ResponseFileFollowsTheUsageSetNotTheArgument) {
  TCab32 cab;
  TArchiverOptions options;
  options.ResFileName = "C:\\resp.txt";
  const TStringList files = {"a.txt"};
  struct Row {
    const char* what;
    bool pack;
    TResFileUsage usage;
    std::string expected;
  };
  const Row rows[] = {
      {"pack in usage", true, {ruOnPack}, "-a  \"C:\\a.cab\" \"@C:\\resp.txt\" "},
      {"unpack in usage", false, {ruOnUnpack}, "-x  \"C:\\a.cab\" \"@C:\\resp.txt\" "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    arctest::Reset();
    options.ResFileUsage = row.usage;
    if (row.pack)
      cab.Pack(nullptr, "C:\\a.cab", options, "", &files, false, output);
    else
      cab.Extract(nullptr, "C:\\a.cab", options, "", &files, false, output);
    EXPECT_EQ(OnlyCabCall().text, row.expected);
  }
  EXPECT_EQ(drive.ReadFile("resp.txt"), "\"a.txt\"\r\n");
}

TEST_F(CabCommand, MakeSfxIgnoresAResponseFileEvenWhenAllUsagesAreSet) {
  TCab32 cab;
  TArchiverOptions options;
  options.ResFileName = "C:\\resp.txt";
  options.ResFileUsage = {ruOnPack, ruOnUnpack, ruOnRemoveItem, ruOnUpdate};
  cab.MakeSfx(nullptr, "C:\\a.cab", options, "", output);
  EXPECT_EQ(OnlyCabCall().text, "-f  \"C:\\a.cab\" ");
  EXPECT_FALSE(drive.Exists("resp.txt"));
}
