// The RAR back-end's extraction command line: the example, the command word,
// the switch rules, names as given and response files.
#include <gtest/gtest.h>

#include <functional>

#include "Families.h"

using namespace vx;
using backendtest::Window;

namespace {

class RarCommand : public lhacabtest::BackendTest {
 protected:
  arctest::Call OnlyUnrarCall() { return OnlyCall("UNRAR32.DLL", "Unrar"); }
  vxtest::TestLibraries libs{{"full/UNRAR32.DLL"}};
};

}  // namespace

TEST_F(RarCommand, ExtractionExample) {
  TRar32 rar;
  TArchiverOptions options;
  EXPECT_EQ(rar.Extract(nullptr, "C:\\T\\a.rar", options, "C:\\out", nullptr, false, output), 0);
  const std::string expected = "-x -u  \"C:\\T\\a.rar\" \"C:\\out\\\" ";
  EXPECT_EQ(rar.CmdLine, expected);
  EXPECT_EQ(OnlyUnrarCall().text, expected);
}

// ---- command word and switches, case by case -------------------------------------------

namespace {

struct SwitchCase {
  const char* name;
  std::function<void(TArchiverOptions&)> set;
  std::string head;  // command word and switches, before UserOptions
  bool ownerWindow = false;
};

class RarSwitch : public RarCommand, public ::testing::WithParamInterface<SwitchCase> {};

void None(TArchiverOptions&) {}

}  // namespace

TEST_P(RarSwitch, Extract) {
  TRar32 rar;
  if (GetParam().ownerWindow) {
    rar.SetOwnerWindowEx(Window(0x44), nullptr);
    arctest::Reset();
  }
  TArchiverOptions options;
  GetParam().set(options);
  rar.Extract(nullptr, "a.rar", options, "", nullptr, false, output);
  EXPECT_EQ(OnlyUnrarCall().text, GetParam().head + "  \"a.rar\" ");
}

INSTANTIATE_TEST_SUITE_P(
    RarBackend, RarSwitch,
    ::testing::Values(
        SwitchCase{"Initial", None, "-x -u"},
        SwitchCase{"x0", [](TArchiverOptions& o) { o.x = 0; }, "-e -u"},
        SwitchCase{"x1", [](TArchiverOptions& o) { o.x = 1; }, "-x -u"},
        SwitchCase{"c0", [](TArchiverOptions& o) { o.c = 0; }, "-x -u"},
        SwitchCase{"cMinus5", [](TArchiverOptions& o) { o.c = -5; }, "-x -u"},
        SwitchCase{"c1", [](TArchiverOptions& o) { o.c = 1; }, "-x"},
        SwitchCase{"c2", [](TArchiverOptions& o) { o.c = 2; }, "-x"},
        SwitchCase{"m0", [](TArchiverOptions& o) { o.m = 0; }, "-x -u"},
        SwitchCase{"m1", [](TArchiverOptions& o) { o.m = 1; }, "-x -u -y"},
        SwitchCase{"p0", [](TArchiverOptions& o) { o.p = 0; }, "-x -u"},
        SwitchCase{"p1", [](TArchiverOptions& o) { o.p = 1; }, "-x -u -s"},
        SwitchCase{"AllInOrder",
                   [](TArchiverOptions& o) {
                     o.c = 1;
                     o.m = 2;
                     o.p = 3;
                     o.x = 0;
                   },
                   "-e -y -s"},
        SwitchCase{"OwnerWindowAddsNothing", [](TArchiverOptions& o) { o.n = 1; }, "-x -u", true},
        SwitchCase{"OtherOptionsIgnored",
                   [](TArchiverOptions& o) {
                     o.a = o.n = o.r = o.u = o.ji = o.jm = o.gw = 1;
                     o.w = "C:\\w";
                     o.jx = {"*.bak"};
                   },
                   "-x -u"}),
    [](const ::testing::TestParamInfo<SwitchCase>& info) { return info.param.name; });

// ---- names, directories, file lists ------------------------------------------------------

TEST_F(RarCommand, NamesAsGivenWithFilesAndUserText) {
  drive.MakeDir("T");
  backendtest::CurrentDirectory cwd("C:\\T");
  TRar32 rar;
  TArchiverOptions options;
  options.UserOptions = "-U";
  options.UserFileList = "tail";
  const TStringList files = {"x\\1.txt", "y.txt"};
  rar.Extract(Window(0x21), "rel\\a.rar", options, "C:\\out\\", &files, false, output);
  const auto call = OnlyUnrarCall();
  EXPECT_EQ(call.text, "-x -u -U \"rel\\a.rar\" \"C:\\out\\\" \"x\\1.txt\" \"y.txt\" tail");
  EXPECT_EQ(call.window, Window(0x21));
}

TEST_F(RarCommand, ResponseFileFollowsTheUsageSetNotTheArgument) {
  TRar32 rar;
  TArchiverOptions options;
  options.ResFileName = "C:\\resp.txt";
  const TStringList files = {"a.txt"};
  struct Row {
    const char* what;
    TResFileUsage usage;
    bool argument;
    std::string expected;
  };
  const Row rows[] = {
      {"unpack in usage, argument false", {ruOnUnpack}, false,
       "-x -u  \"C:\\a.rar\" \"@C:\\resp.txt\" "},
      {"unpack not in usage, argument true", {ruOnPack, ruOnRemoveItem, ruOnUpdate}, true,
       "-x -u  \"C:\\a.rar\" \"a.txt\" "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    arctest::Reset();
    options.ResFileUsage = row.usage;
    rar.Extract(nullptr, "C:\\a.rar", options, "", &files, row.argument, output);
    EXPECT_EQ(OnlyUnrarCall().text, row.expected);
  }
  EXPECT_EQ(drive.ReadFile("resp.txt"), "\"a.txt\"\r\n");
}
