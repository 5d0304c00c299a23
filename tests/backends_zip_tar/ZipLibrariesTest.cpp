// The three ZIP libraries: loading, where each entry comes from, the entry
// calls' arguments, the owner window and IsZipArchive.
#include <gtest/gtest.h>

#include <functional>

#include "BackendFixture.h"
#include "archivers/ZIP32.h"
#include "platform/posix/vxposix.h"
#include "support/Scratch.h"

using namespace vx;
using backendtest::ArchiverMessage;
using backendtest::Window;
using vxtest::Sjis;

namespace {

const std::vector<std::string> kAllThree = {"full/UNZIP32.DLL", "full/ZIP32J.DLL",
                                            "full/LMZIP32.DLL"};

class ZipLibraries : public ::testing::Test {
 protected:
  void SetUp() override { arctest::Reset(); }
  void TearDown() override { TZip32::FreeDLL(); }
  vxtest::DriveC drive;
  std::string output;
};

// ---- lookup order ---------------------------------------------------------

struct LookupCase {
  const char* name;
  std::vector<std::string> libraries;
  std::function<void(TZip32&)> call;
  const char* library;  // where the entry was found
  const char* entry;    // under which name
};

void CallOpen(TZip32& z) { z.OpenArchive(nullptr, "C:\\a.zip", 0); }
void CallClose(TZip32& z) { z.CloseArchive(nullptr); }
void CallFindFirst(TZip32& z) {
  INDIVIDUALINFO info{};
  z.FindFirst(nullptr, &info, "*");
}
void CallFindNext(TZip32& z) {
  INDIVIDUALINFO info{};
  z.FindNext(nullptr, &info);
}
void CallCheck(TZip32& z) { z.CheckArchive("C:\\a.zip", 0, 0); }
void CallZip(TZip32& z) {
  TArchiverOptions options;
  std::string out;
  z.Delete(nullptr, "C:\\a.zip", options, "", nullptr, false, out);
}
void CallUnZip(TZip32& z) {
  TArchiverOptions options;
  std::string out;
  z.Extract(nullptr, "C:\\a.zip", options, "", nullptr, false, out);
}
void CallSetOwner(TZip32& z) { z.SetOwnerWindowEx(Window(0x10), nullptr); }
void CallKillOwner(TZip32& z) { z.KillOwnerWindowEx(Window(0x10)); }

const char* UN = "full/UNZIP32.DLL";
const char* ZJ = "full/ZIP32J.DLL";
const char* LM = "full/LMZIP32.DLL";

class ZipEntryLookup : public ZipLibraries, public ::testing::WithParamInterface<LookupCase> {};

}  // namespace

TEST_P(ZipEntryLookup, TakesTheFirstLibraryThatHasTheEntry) {
  vxtest::TestLibraries libs(GetParam().libraries);
  TZip32 zip;
  GetParam().call(zip);
  const auto calls = arctest::Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].library, GetParam().library);
  EXPECT_EQ(calls[0].entry, GetParam().entry);
}

INSTANTIATE_TEST_SUITE_P(
    ZipBackend, ZipEntryLookup,
    ::testing::Values(
        LookupCase{"ZipFromZip32j", {UN, ZJ, LM}, CallZip, "ZIP32J.DLL", "Zip"},
        LookupCase{"ZipFromLmzip32", {UN, LM}, CallZip, "LMZIP32.DLL", "Zip"},
        LookupCase{"UnZipFromUnzip32", {UN, ZJ, LM}, CallUnZip, "UNZIP32.DLL", "UnZip"},
        LookupCase{"UnZipFromLmzip32", {ZJ, LM}, CallUnZip, "LMZIP32.DLL", "Unzip"},
        LookupCase{"OpenFromLmzip32", {UN, ZJ, LM}, CallOpen, "LMZIP32.DLL", "UnzipOpenArchive"},
        LookupCase{"OpenFromZip32j", {UN, ZJ}, CallOpen, "ZIP32J.DLL", "UnZipOpenArchive"},
        LookupCase{"OpenFromUnzip32", {UN}, CallOpen, "UNZIP32.DLL", "UnZipOpenArchive"},
        LookupCase{"OpenSkipsLmzip32LackingIt", {UN, ZJ, "no-open/LMZIP32.DLL"}, CallOpen,
                   "ZIP32J.DLL", "UnZipOpenArchive"},
        LookupCase{"CloseFromLmzip32", {UN, ZJ, LM}, CallClose, "LMZIP32.DLL", "UnzipCloseArchive"},
        LookupCase{"CloseFromZip32j", {UN, ZJ}, CallClose, "ZIP32J.DLL", "UnZipCloseArchive"},
        LookupCase{"FindFirstFromLmzip32", {UN, ZJ, LM}, CallFindFirst, "LMZIP32.DLL",
                   "UnzipFindFirst"},
        LookupCase{"FindFirstFromUnzip32", {UN}, CallFindFirst, "UNZIP32.DLL", "UnZipFindFirst"},
        LookupCase{"FindNextFromLmzip32", {UN, ZJ, LM}, CallFindNext, "LMZIP32.DLL",
                   "UnzipFindNext"},
        LookupCase{"FindNextFromZip32j", {UN, ZJ}, CallFindNext, "ZIP32J.DLL", "UnZipFindNext"},
        LookupCase{"CheckFromUnzip32", {UN, ZJ, LM}, CallCheck, "UNZIP32.DLL", "UnZipCheckArchive"},
        LookupCase{"CheckFromLmzip32", {ZJ, LM}, CallCheck, "LMZIP32.DLL", "UnzipCheckArchive"},
        LookupCase{"CheckFromZip32j", {ZJ}, CallCheck, "ZIP32J.DLL", "UnZipCheckArchive"},
        LookupCase{"CheckSkipsUnzip32LackingIt", {"no-check/UNZIP32.DLL", ZJ, LM}, CallCheck,
                   "LMZIP32.DLL", "UnzipCheckArchive"},
        LookupCase{"CheckSkipsTwoLackingIt",
                   {"no-check/UNZIP32.DLL", ZJ, "no-check/LMZIP32.DLL"}, CallCheck, "ZIP32J.DLL",
                   "UnZipCheckArchive"},
        LookupCase{"SetOwnerFromUnzip32", {UN, ZJ, LM}, CallSetOwner, "UNZIP32.DLL",
                   "UnZipSetOwnerWindowEx"},
        LookupCase{"KillOwnerFromUnzip32", {UN, ZJ, LM}, CallKillOwner, "UNZIP32.DLL",
                   "UnZipKillOwnerWindowEx"}),
    [](const ::testing::TestParamInfo<LookupCase>& info) { return info.param.name; });

TEST_F(ZipLibraries, EntryFoundNowhereNamesTheEntry) {
  struct Row {
    const char* what;
    std::vector<std::string> libraries;
    std::function<void(TZip32&)> call;
    std::string message;
  };
  const Row rows[] = {
      {"check lacking everywhere", {"no-check/LMZIP32.DLL"}, CallCheck,
       "UnZipCheckArchive" + Sjis(" のエントリが見つかりません。")},
      {"open lacking everywhere", {"no-open/LMZIP32.DLL"}, CallOpen,
       "UnZipOpenArchive" + Sjis(" のエントリが見つかりません。")},
      {"no library for Zip", {UN}, CallZip,
       Sjis("ZIP 形式書庫の作成には ZIP32J.DLL または LMZIP32.DLL が必要です。")},
      {"no library for UnZip", {ZJ}, CallUnZip,
       Sjis("ZIP 形式書庫の解凍には UNZIP32.DLL または LMZIP32.DLL が必要です。")},
      {"owner entry without UNZIP32", {ZJ, LM}, CallSetOwner,
       "UNZIP32.DLL" + Sjis(" に ") + "UnZipSetOwnerWindowEx" + Sjis(" のエントリが見つかりません。")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    arctest::Reset();
    vxtest::TestLibraries libs(row.libraries);
    TZip32 zip;
    EXPECT_EQ(ArchiverMessage([&] { row.call(zip); }), row.message);
    EXPECT_TRUE(arctest::Calls().empty());
    EXPECT_EQ(zip.OwnerWindow, nullptr);
    TZip32::FreeDLL();
  }
}

TEST_F(ZipLibraries, OwnerEntriesComeFromUnzip32AloneByPath) {
  vxtest::TestLibraries libs({"no-owner/UNZIP32.DLL", LM});
  TZip32 zip;
  std::string path;
  ASSERT_TRUE(vxposix::ToWinPath(libs.Folder() + "/UNZIP32.DLL", path));
  // LMZIP32 has UnzipSetOwnerWindowEx, but the owner window is UNZIP32's.
  EXPECT_EQ(ArchiverMessage([&] { zip.SetOwnerWindowEx(Window(0x10), nullptr); }),
            path + Sjis(" に ") + "UnZipSetOwnerWindowEx" + Sjis(" のエントリが見つかりません。"));
  EXPECT_TRUE(arctest::Calls().empty());
  EXPECT_EQ(zip.OwnerWindow, nullptr);
}

// ---- loading ---------------------------------------------------------------

TEST_F(ZipLibraries, NoLibraryAtAll) {
  vxtest::TestLibraries libs({});
  const std::string missing =
      Sjis("ZIP 形式書庫を解凍するには UNZIP32.DLL が、作成するには ZIP32J.DLL が必要です。");
  EXPECT_EQ(ArchiverMessage([] { TZip32 zip; }), missing);
  EXPECT_EQ(ArchiverMessage([] { TZip32::LoadDLL(); }), missing);
  EXPECT_FALSE(IsZipArchive("C:\\a.zip"));
  EXPECT_TRUE(arctest::Calls().empty());
}

TEST_F(ZipLibraries, AnyOneLibraryIsEnough) {
  for (const char* library : {UN, ZJ, LM}) {
    SCOPED_TRACE(library);
    vxtest::TestLibraries libs({library});
    EXPECT_NO_THROW(TZip32 zip);
    TZip32::FreeDLL();
  }
}

TEST_F(ZipLibraries, LoadingEntryCallsRetryMissingLibraries) {
  vxtest::TestLibraries libs({ZJ});
  TZip32 zip;
  libs.Add(UN);
  TArchiverOptions options;
  EXPECT_EQ(zip.Extract(nullptr, "C:\\a.zip", options, "", nullptr, false, output), 0);
  ASSERT_EQ(arctest::CallsOf("UnZip", "UNZIP32.DLL").size(), 1u);
}

TEST_F(ZipLibraries, FreeDllUnloadsAllThree) {
  vxtest::TestLibraries libs(kAllThree);
  { TZip32 zip; }
  TZip32::FreeDLL();
  libs.Remove("UNZIP32.DLL");
  libs.Remove("ZIP32J.DLL");
  libs.Remove("LMZIP32.DLL");
  EXPECT_THROW(TZip32 zip, EArchiver);
}

// ---- entry arguments and results ---------------------------------------------

TEST_F(ZipLibraries, ListingEntriesPassArgumentsAndResults) {
  vxtest::TestLibraries libs(kAllThree);
  drive.MakeDir("T");
  TZip32 zip;
  arctest::ScriptResult("LMZIP32.DLL", "UnzipOpenArchive", 0x77);
  arctest::ScriptResult("LMZIP32.DLL", "UnzipFindFirst", 0);
  arctest::ScriptResult("LMZIP32.DLL", "UnzipFindNext", 5);
  arctest::ScriptResult("LMZIP32.DLL", "UnzipCloseArchive", 3);
  HARC archive;
  {
    backendtest::CurrentDirectory cwd("C:\\T");
    archive = zip.OpenArchive(Window(0x31), "a.zip", 0x1234);
  }
  EXPECT_EQ(archive, reinterpret_cast<HARC>(0x77));
  INDIVIDUALINFO info{};
  EXPECT_EQ(zip.FindFirst(archive, &info, "*.txt"), 0);
  EXPECT_EQ(zip.FindNext(archive, &info), 5);
  EXPECT_EQ(zip.CloseArchive(archive), 3);

  const auto calls = arctest::Calls();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].window, Window(0x31));
  EXPECT_EQ(calls[0].text, "C:\\T\\a.zip");  // made absolute
  EXPECT_EQ(calls[0].mode, 0x1234u);
  EXPECT_EQ(calls[1].handle, archive);
  EXPECT_EQ(calls[1].text, "*.txt");
  EXPECT_EQ(calls[1].record, &info);
  EXPECT_EQ(calls[2].handle, archive);
  EXPECT_EQ(calls[2].record, &info);
  EXPECT_EQ(calls[3].handle, archive);
}

TEST_F(ZipLibraries, CheckArchivePassesNameAndModeOnly) {
  vxtest::TestLibraries libs(kAllThree);
  TZip32 zip;
  arctest::ScriptResult("UNZIP32.DLL", "UnZipCheckArchive", 1);
  EXPECT_EQ(zip.CheckArchive("rel\\a.zip", 1, 16), 1);
  const auto calls = arctest::CallsOf("UnZipCheckArchive");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].text, "rel\\a.zip");  // not made absolute
  EXPECT_EQ(calls[0].mode, 1u);            // the flags are not added
}

TEST_F(ZipLibraries, OwnerWindowIsKeptWhateverTheLibraryAnswers) {
  vxtest::TestLibraries libs(kAllThree);
  TZip32 zip;
  int proc = 0;
  arctest::ScriptResult("UNZIP32.DLL", "UnZipSetOwnerWindowEx", 0);
  arctest::ScriptResult("UNZIP32.DLL", "UnZipKillOwnerWindowEx", 0);
  EXPECT_TRUE(zip.SetOwnerWindowEx(Window(0x50), &proc));
  EXPECT_EQ(zip.OwnerWindow, Window(0x50));
  EXPECT_TRUE(zip.KillOwnerWindowEx(Window(0x50)));
  EXPECT_EQ(zip.OwnerWindow, nullptr);
  const auto calls = arctest::Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].window, Window(0x50));
  EXPECT_EQ(calls[0].record, &proc);
  EXPECT_EQ(calls[1].window, Window(0x50));
}

// ---- IsZipArchive ---------------------------------------------------------------

TEST_F(ZipLibraries, IsZipArchiveOpensAbsoluteAndClosesWhatItOpened) {
  vxtest::TestLibraries libs(kAllThree);
  drive.MakeDir("T");
  arctest::ScriptResult("LMZIP32.DLL", "UnzipOpenArchive", 0x55);
  {
    backendtest::CurrentDirectory cwd("C:\\T");
    EXPECT_TRUE(IsZipArchive("a.zip"));
  }
  const auto calls = arctest::Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].entry, "UnzipOpenArchive");
  EXPECT_EQ(calls[0].window, nullptr);
  EXPECT_EQ(calls[0].text, "C:\\T\\a.zip");
  EXPECT_EQ(calls[0].mode, 0x00800002u);
  EXPECT_EQ(calls[1].entry, "UnzipCloseArchive");
  EXPECT_EQ(calls[1].handle, reinterpret_cast<HARC>(0x55));
}

TEST_F(ZipLibraries, IsZipArchiveAnswersFalseWithoutRaising) {
  {
    SCOPED_TRACE("library cannot open the file");
    vxtest::TestLibraries libs(kAllThree);
    EXPECT_FALSE(IsZipArchive("C:\\a.zip"));
    EXPECT_EQ(arctest::CallsOf("UnzipOpenArchive").size(), 1u);
    EXPECT_TRUE(arctest::CallsOf("UnzipCloseArchive").empty());
    TZip32::FreeDLL();
  }
  {
    SCOPED_TRACE("open entry missing");
    vxtest::TestLibraries libs({"no-open/LMZIP32.DLL"});
    EXPECT_FALSE(IsZipArchive("C:\\a.zip"));
    TZip32::FreeDLL();
  }
  {
    SCOPED_TRACE("no library");
    vxtest::TestLibraries libs({});
    EXPECT_FALSE(IsZipArchive("C:\\a.zip"));
  }
}

TEST_F(ZipLibraries, IsZipArchiveLoadsTheLibraries) {
  vxtest::TestLibraries libs({UN});
  arctest::ScriptResult("UNZIP32.DLL", "UnZipOpenArchive", 0x9);
  EXPECT_TRUE(IsZipArchive("C:\\a.zip"));
  libs.Remove("UNZIP32.DLL");
  // Still loaded: construction needs no file now.
  EXPECT_NO_THROW(TZip32 zip);
}
