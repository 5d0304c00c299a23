// The TAR back-end's commands: command lines per class, results, the
// foreground window, listing entries and the operations it does not offer.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "BackendFixture.h"
#include "archivers/TAR32.h"
#include "platform/posix/vxposix.h"
#include "support/Scratch.h"

using namespace vx;
using backendtest::ArchiverMessage;
using backendtest::Window;
using vxtest::Sjis;

namespace {

enum class Kind { Tar, Tgz, Bz2 };

std::unique_ptr<TTar32> Make(Kind kind) {
  switch (kind) {
    case Kind::Tgz:
      return std::make_unique<TTgz32>();
    case Kind::Bz2:
      return std::make_unique<TBZ232>();
    default:
      return std::make_unique<TTar32>();
  }
}

class TarCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    arctest::Reset();
    vxposix::ClearForegroundLog();
  }
  void TearDown() override { TTar32::FreeDLL(); }

  // The one Tar call a test expects.
  static arctest::Call OnlyTarCall() {
    const auto calls = arctest::Calls();
    EXPECT_EQ(calls.size(), 1u);
    if (calls.empty()) return arctest::Call();
    EXPECT_EQ(calls[0].library, "tar32.dll");
    EXPECT_EQ(calls[0].entry, "Tar");
    return calls[0];
  }

  vxtest::DriveC drive;
  vxtest::TestLibraries libs{{"full/tar32.dll"}};
  std::string output;
};

}  // namespace

TEST_F(TarCommand, TgzPackingExample) {
  TTgz32 tgz;
  TArchiverOptions options;
  options.x = 0;
  const TStringList files = {"C:\\x\\1.txt"};
  EXPECT_EQ(tgz.Pack(nullptr, "C:\\T\\a.tgz", options, "", &files, false, output), 0);
  const std::string expected = "c --use-directory=0 -z  -f \"C:\\T\\a.tgz\" \"C:\\x\\1.txt\" ";
  EXPECT_EQ(tgz.CmdLine, expected);
  EXPECT_EQ(OnlyTarCall().text, expected);
}

// ---- the builder, row by row ---------------------------------------------------

namespace {

struct BuilderCase {
  const char* name;
  Kind kind;
  std::function<void(TArchiverOptions&)> set;
  std::string pieces;  // between the command word and UserOptions
  bool ownerWindow = false;
};

class TarBuilder : public TarCommand, public ::testing::WithParamInterface<BuilderCase> {};

void None(TArchiverOptions&) {}

}  // namespace

TEST_P(TarBuilder, Pack) {
  auto tar = Make(GetParam().kind);
  if (GetParam().ownerWindow) {
    tar->SetOwnerWindowEx(Window(0x44), nullptr);
    arctest::Reset();
  }
  TArchiverOptions options;
  GetParam().set(options);
  tar->Pack(nullptr, "a.tar", options, "", nullptr, false, output);
  const std::string pieces = GetParam().pieces;
  EXPECT_EQ(OnlyTarCall().text,
            "c" + (pieces.empty() ? "" : " " + pieces) + "  -f \"a.tar\" ");
}

INSTANTIATE_TEST_SUITE_P(
    TarBackend, TarBuilder,
    ::testing::Values(
        BuilderCase{"TarInitial", Kind::Tar, None, ""},
        BuilderCase{"aUnset", Kind::Tar, [](TArchiverOptions& o) { o.a = -1; }, ""},
        BuilderCase{"a0", Kind::Tar, [](TArchiverOptions& o) { o.a = 0; }, "-I"},
        BuilderCase{"a1", Kind::Tar, [](TArchiverOptions& o) { o.a = 1; }, "-AH"},
        BuilderCase{"a2", Kind::Tar, [](TArchiverOptions& o) { o.a = 2; }, "-AH"},
        BuilderCase{"n1", Kind::Tar, [](TArchiverOptions& o) { o.n = 1; }, "--display-dialog=0"},
        BuilderCase{"n0", Kind::Tar, [](TArchiverOptions& o) { o.n = 0; }, ""},
        BuilderCase{"n1WithOwnerWindow", Kind::Tar, [](TArchiverOptions& o) { o.n = 1; }, "", true},
        BuilderCase{"n9WithOwnerWindow", Kind::Tar, [](TArchiverOptions& o) { o.n = 9; }, "", true},
        BuilderCase{"o0", Kind::Tar, [](TArchiverOptions& o) { o.o = 0; }, ""},
        BuilderCase{"o1", Kind::Tar, [](TArchiverOptions& o) { o.o = 1; }, "-g"},
        BuilderCase{"p0", Kind::Tar, [](TArchiverOptions& o) { o.p = 0; }, "--check-all-path=0"},
        BuilderCase{"p1", Kind::Tar, [](TArchiverOptions& o) { o.p = 1; }, "--check-all-path=1"},
        BuilderCase{"x0", Kind::Tar, [](TArchiverOptions& o) { o.x = 0; }, "--use-directory=0"},
        BuilderCase{"x1", Kind::Tar, [](TArchiverOptions& o) { o.x = 1; }, "--use-directory=1"},
        BuilderCase{"TarIgnoresLevel", Kind::Tar, [](TArchiverOptions& o) { o.jm = 9; }, ""},
        BuilderCase{"TgzUnsetLevel", Kind::Tgz, None, "-z"},
        BuilderCase{"TgzLevel0", Kind::Tgz, [](TArchiverOptions& o) { o.jm = 0; }, "-z"},
        BuilderCase{"TgzLevel1", Kind::Tgz, [](TArchiverOptions& o) { o.jm = 1; }, "-z1"},
        BuilderCase{"TgzLevel9", Kind::Tgz, [](TArchiverOptions& o) { o.jm = 9; }, "-z9"},
        BuilderCase{"Bz2UnsetLevel", Kind::Bz2, None, "-B"},
        BuilderCase{"Bz2Level0", Kind::Bz2, [](TArchiverOptions& o) { o.jm = 0; }, "-B"},
        BuilderCase{"Bz2Level9", Kind::Bz2, [](TArchiverOptions& o) { o.jm = 9; }, "-B9"},
        BuilderCase{"OtherOptionsIgnored", Kind::Tar,
                    [](TArchiverOptions& o) {
                      o.c = o.l = o.r = o.u = o.jc = o.ji = o.gd = o.gw = 1;
                      o.w = "C:\\w";
                    },
                    ""},
        BuilderCase{"AllInOrder", Kind::Tgz,
                    [](TArchiverOptions& o) {
                      o.a = o.n = o.o = o.p = 1;
                      o.x = 0;
                      o.jm = 9;
                    },
                    "-AH --display-dialog=0 -g --check-all-path=1 --use-directory=0 -z9"}),
    [](const ::testing::TestParamInfo<BuilderCase>& info) { return info.param.name; });

TEST_F(TarCommand, CompressionPieceWhateverUserOptionsAdd) {
  TArchiverOptions options;
  options.UserOptions = "-z -B";
  for (Kind kind : {Kind::Tar, Kind::Tgz, Kind::Bz2}) {
    arctest::Reset();
    Make(kind)->Pack(nullptr, "a", options, "", nullptr, false, output);
    const char* expected[] = {"c -z -B -f \"a\" ", "c -z -z -B -f \"a\" ", "c -B -z -B -f \"a\" "};
    EXPECT_EQ(OnlyTarCall().text, expected[static_cast<int>(kind)]);
  }
}

TEST_F(TarCommand, CommandWordsAndTails) {
  TTar32 tar;
  TArchiverOptions options;
  options.UserOptions = "-U";
  options.UserFileList = "tail";
  const TStringList files = {"x\\1.txt", "y.txt"};
  struct Row {
    const char* what;
    std::function<void()> run;
    std::string expected;
  };
  const Row rows[] = {
      {"Pack with a base directory",
       [&] { tar.Pack(nullptr, "C:\\a.tar", options, "C:\\out", &files, false, output); },
       "c -U -f \"C:\\a.tar\" -o \"C:\\out\\\" \"x\\1.txt\" \"y.txt\" tail"},
      {"Extract into a directory ending in a backslash",
       [&] { tar.Extract(nullptr, "C:\\a.tar", options, "C:\\out\\", &files, false, output); },
       "x -U -f \"C:\\a.tar\" -o \"C:\\out\\\" \"x\\1.txt\" \"y.txt\" tail"},
      {"Empty archive name and directory",
       [&] { tar.Extract(nullptr, "", options, "", nullptr, false, output); }, "x -U tail"},
      {"Archive name unset",
       [&] { tar.Pack(nullptr, NoValue, options, "", nullptr, false, output); }, "c -U tail"},
      {"Relative archive name stays relative",
       [&] { tar.Pack(nullptr, "rel\\a.tar", options, "", nullptr, false, output); },
       "c -U -f \"rel\\a.tar\" tail"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    arctest::Reset();
    row.run();
    EXPECT_EQ(OnlyTarCall().text, row.expected);
    EXPECT_EQ(tar.CmdLine, row.expected);
  }
}

TEST_F(TarCommand, ResponseFileFollowsTheUsageSetNotTheArgument) {
  TTar32 tar;
  TArchiverOptions options;
  options.ResFileName = "C:\\resp.txt";
  const TStringList files = {"a.txt"};
  const std::string viaFile = "  -f \"C:\\a.tar\" \"@C:\\resp.txt\" ";
  const std::string onLine = "  -f \"C:\\a.tar\" \"a.txt\" ";
  struct Row {
    const char* what;
    TResFileUsage usage;
    bool argument;
    bool pack;
    std::string expected;
  };
  const Row rows[] = {
      {"pack in usage, argument false", {ruOnPack}, false, true, "c" + viaFile},
      {"pack not in usage, argument true", {ruOnUnpack}, true, true, "c" + onLine},
      {"unpack in usage, argument false", {ruOnUnpack}, false, false, "x" + viaFile},
      {"unpack not in usage, argument true", {ruOnPack}, true, false, "x" + onLine},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    arctest::Reset();
    options.ResFileUsage = row.usage;
    if (row.pack)
      tar.Pack(nullptr, "C:\\a.tar", options, "", &files, row.argument, output);
    else
      tar.Extract(nullptr, "C:\\a.tar", options, "", &files, row.argument, output);
    EXPECT_EQ(OnlyTarCall().text, row.expected);
  }
  EXPECT_EQ(drive.ReadFile("resp.txt"), "\"a.txt\"\r\n");
}

// ---- results, output and the foreground window ----------------------------------

TEST_F(TarCommand, ResultAndReportComeBackUnchanged) {
  TTgz32 tgz;
  TArchiverOptions options;
  arctest::ScriptResult("tar32.dll", "Tar", 0x8019);
  arctest::ScriptReport("tar32.dll", "Tar", "not an archive");
  std::string out(5, 'x');
  EXPECT_EQ(tgz.Extract(nullptr, "C:\\a.tgz", options, "", nullptr, false, out), 0x8019);
  EXPECT_EQ(out, std::string("not \0", 5));
  const auto call = OnlyTarCall();
  EXPECT_EQ(call.bufferSize, 5u);
  EXPECT_EQ(tgz.CmdLine, call.text);

  arctest::Reset();
  arctest::ScriptResult("tar32.dll", "Tar", 0x8019);
  EXPECT_EQ(tgz.Pack(nullptr, "C:\\a.tgz", options, "", nullptr, false, output), 0x8019);
  EXPECT_TRUE(OnlyTarCall().bufferNull);
}

TEST_F(TarCommand, ForegroundWindowAfterCommandsWithAWindow) {
  TBZ232 bz2;
  TArchiverOptions options;
  arctest::ScriptResult("tar32.dll", "Tar", 0x8020);  // a failed command too
  bz2.Pack(Window(0x61), "C:\\a.bz2", options, "", nullptr, false, output);
  bz2.Extract(Window(0x62), "C:\\a.bz2", options, "", nullptr, false, output);
  EXPECT_EQ(vxposix::ForegroundLog(), (std::vector<HWND>{Window(0x61), Window(0x62)}));
  EXPECT_EQ(arctest::CallsOf("Tar").at(0).window, Window(0x61));

  vxposix::ClearForegroundLog();
  bz2.Pack(nullptr, "C:\\a.bz2", options, "", nullptr, false, output);
  bz2.Extract(nullptr, "C:\\a.bz2", options, "", nullptr, false, output);
  EXPECT_TRUE(vxposix::ForegroundLog().empty());
}

TEST_F(TarCommand, NoForegroundWindowWhenTheCommandNeverRan) {
  libs.Remove("tar32.dll");
  libs.Add("no-command/tar32.dll");
  TTar32 tar;
  TArchiverOptions options;
  EXPECT_THROW(tar.Pack(Window(0x61), "C:\\a.tar", options, "", nullptr, false, output), EArchiver);
  EXPECT_TRUE(vxposix::ForegroundLog().empty());
}

// ---- listing, checking, owner window ----------------------------------------------

TEST_F(TarCommand, ListingEntriesPassArgumentsAndResults) {
  drive.MakeDir("T");
  TTgz32 tgz;
  arctest::ScriptResult("tar32.dll", "TarOpenArchive", 0x77);
  arctest::ScriptResult("tar32.dll", "TarFindFirst", 0);
  arctest::ScriptResult("tar32.dll", "TarFindNext", 5);
  arctest::ScriptResult("tar32.dll", "TarCloseArchive", 3);
  HARC archive;
  {
    backendtest::CurrentDirectory cwd("C:\\T");
    archive = tgz.OpenArchive(Window(0x31), "a.tgz", 0x1234);
  }
  EXPECT_EQ(archive, reinterpret_cast<HARC>(0x77));
  INDIVIDUALINFO info{};
  EXPECT_EQ(tgz.FindFirst(archive, &info, "*.txt"), 0);
  EXPECT_EQ(tgz.FindNext(archive, &info), 5);
  EXPECT_EQ(tgz.CloseArchive(archive), 3);

  const auto calls = arctest::Calls();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].entry, "TarOpenArchive");
  EXPECT_EQ(calls[0].window, Window(0x31));
  EXPECT_EQ(calls[0].text, "C:\\T\\a.tgz");  // made absolute
  EXPECT_EQ(calls[0].mode, 0x1234u);
  EXPECT_EQ(calls[1].entry, "TarFindFirst");
  EXPECT_EQ(calls[1].handle, archive);
  EXPECT_EQ(calls[1].text, "*.txt");
  EXPECT_EQ(calls[1].record, &info);
  EXPECT_EQ(calls[2].entry, "TarFindNext");
  EXPECT_EQ(calls[2].record, &info);
  EXPECT_EQ(calls[3].entry, "TarCloseArchive");
  EXPECT_EQ(calls[3].handle, archive);
}

TEST_F(TarCommand, CheckArchiveAddsModeAndFlags) {
  TTar32 tar;
  arctest::ScriptResult("tar32.dll", "TarCheckArchive", 1);
  EXPECT_EQ(tar.CheckArchive("rel\\a.tar", 1, 16), 1);
  const auto calls = arctest::CallsOf("TarCheckArchive");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].text, "rel\\a.tar");
  EXPECT_EQ(calls[0].mode, 17u);

  // Large flag values wrap as 32-bit sums instead of overflowing.
  arctest::Reset();
  tar.CheckArchive("a.tar", 0x7FFFFFFF, 1);
  EXPECT_EQ(arctest::CallsOf("TarCheckArchive").at(0).mode, 0x80000000u);
}

TEST_F(TarCommand, CheckArchiveEntryMissing) {
  libs.Remove("tar32.dll");
  libs.Add("no-check/tar32.dll");
  TTar32 tar;  // the library still loads
  std::string path;
  ASSERT_TRUE(vxposix::ToWinPath(libs.Folder() + "/tar32.dll", path));
  EXPECT_EQ(ArchiverMessage([&] { tar.CheckArchive("C:\\a.tar", 0, 0); }),
            path + Sjis(" に ") + "TarCheckArchive" + Sjis(" のエントリが見つかりません。"));
}

TEST_F(TarCommand, OwnerWindowIsStoredAndTheVerdictReturned) {
  TTar32 tar;
  int proc = 0;
  for (intptr_t verdict : {1, 0}) {
    SCOPED_TRACE(verdict);
    arctest::Reset();
    arctest::ScriptResult("tar32.dll", "TarSetOwnerWindowEx", verdict);
    arctest::ScriptResult("tar32.dll", "TarKillOwnerWindowEx", verdict);
    EXPECT_EQ(tar.SetOwnerWindowEx(Window(0x50), &proc), verdict != 0);
    EXPECT_EQ(tar.OwnerWindow, Window(0x50));
    EXPECT_EQ(tar.KillOwnerWindowEx(Window(0x50)), verdict != 0);
    EXPECT_EQ(tar.OwnerWindow, nullptr);
    const auto calls = arctest::Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].entry, "TarSetOwnerWindowEx");
    EXPECT_EQ(calls[0].window, Window(0x50));
    EXPECT_EQ(calls[0].record, &proc);
    EXPECT_EQ(calls[1].entry, "TarKillOwnerWindowEx");
    EXPECT_EQ(calls[1].window, Window(0x50));
  }
}

// ---- what the TAR back-end does not offer, and no library ---------------------------

TEST_F(TarCommand, DeleteAndUpdateAreNotOffered) {
  TArchiverOptions options;
  const TStringList files = {"a.txt"};
  for (Kind kind : {Kind::Tar, Kind::Tgz, Kind::Bz2}) {
    SCOPED_TRACE(static_cast<int>(kind));
    auto tar = Make(kind);
    tar->CmdLine = "before";
    EXPECT_EQ(ArchiverMessage([&] { tar->Delete(nullptr, "C:\\a", options, "", &files, false, output); }),
              Sjis("この形式の書庫ではファイルの削除をサポートしておりません。"));
    EXPECT_EQ(ArchiverMessage([&] { tar->Update(nullptr, "C:\\a", options, "", &files, false, output); }),
              Sjis("この形式の書庫では書庫の更新をサポートしておりません。"));
    EXPECT_EQ(tar->CmdLine, "before");
  }
  EXPECT_TRUE(arctest::Calls().empty());
}

TEST_F(TarCommand, MissingLibraryFailsConstructionOfEveryClass) {
  libs.Remove("tar32.dll");
  const std::string message = Sjis("tar/tgz/taz/bz2 形式書庫を扱うには tar32.dll が 必要です。");
  EXPECT_EQ(ArchiverMessage([] { TTar32 tar; }), message);
  EXPECT_EQ(ArchiverMessage([] { TTgz32 tgz; }), message);
  EXPECT_EQ(ArchiverMessage([] { TBZ232 bz2; }), message);
  EXPECT_EQ(ArchiverMessage([] { TTar32::LoadDLL(); }), message);
}

TEST_F(TarCommand, FreeDllUnloads) {
  { TTgz32 tgz; }
  TTar32::FreeDLL();
  libs.Remove("tar32.dll");
  EXPECT_THROW(TBZ232 bz2, EArchiver);
}
