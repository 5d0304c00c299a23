// What the LHA, ARJ, CAB and RAR back-ends share: loading their library,
// the listing and checking entries, the owner window, the command entry's
// result and report, the content checks.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "Families.h"
#include "platform/posix/vxposix.h"

using namespace vx;
using backendtest::ArchiverMessage;
using backendtest::Window;
using lhacabtest::Family;
using vxtest::Sjis;

namespace {

class FamilyTest : public lhacabtest::BackendTest, public ::testing::WithParamInterface<Family> {
 protected:
  const Family& F() const { return GetParam(); }
  std::string Entry(const char* suffix) const { return F().prefix + suffix; }
  std::string Full() const { return "full/" + F().library; }
};

std::string FamilyName(const ::testing::TestParamInfo<Family>& info) { return info.param.name; }

}  // namespace

INSTANTIATE_TEST_SUITE_P(Backends, FamilyTest,
                         ::testing::Values(lhacabtest::kLha, lhacabtest::kArj, lhacabtest::kCab,
                                           lhacabtest::kRar),
                         FamilyName);

// ---- loading ---------------------------------------------------------------------

TEST_P(FamilyTest, MissingLibraryFailsConstructionWithTheFamilyMessage) {
  vxtest::TestLibraries libs({});
  EXPECT_EQ(ArchiverMessage([&] { F().make(); }), Sjis(F().missing));
  EXPECT_EQ(ArchiverMessage([&] { F().load(); }), Sjis(F().missing));
  EXPECT_TRUE(arctest::Calls().empty());
}

TEST_P(FamilyTest, FreeDllUnloadsTheLibrary) {
  vxtest::TestLibraries libs({Full()});
  { auto backend = F().make(); }
  F().free();
  libs.Remove(F().library);
  EXPECT_EQ(ArchiverMessage([&] { F().make(); }), Sjis(F().missing));
}

TEST_P(FamilyTest, EntryCallsLoadTheLibraryAgainAfterFreeDll) {
  vxtest::TestLibraries libs({Full()});
  auto backend = F().make();
  F().free();
  arctest::ScriptResult(F().library, Entry("CheckArchive"), 1);
  EXPECT_EQ(backend->CheckArchive("C:\\a", 0, 0), 1);
  EXPECT_EQ(arctest::CallsOf(Entry("CheckArchive"), F().library).size(), 1u);
}

TEST_P(FamilyTest, MissingEntryNamesLibraryAndEntry) {
  vxtest::TestLibraries libs({"no-check/" + F().library});
  auto backend = F().make();  // the library still loads
  std::string path;
  ASSERT_TRUE(vxposix::ToWinPath(libs.Folder() + "/" + F().library, path));
  EXPECT_EQ(ArchiverMessage([&] { backend->CheckArchive("C:\\a", 0, 0); }),
            path + Sjis(" に ") + Entry("CheckArchive") + Sjis(" のエントリが見つかりません。"));
  // Only the operation needing that entry fails.
  arctest::ScriptResult(F().library, Entry("OpenArchive"), 0x12);
  EXPECT_EQ(backend->OpenArchive(nullptr, "C:\\a", 0), reinterpret_cast<HARC>(0x12));
}

// ---- listing, checking, owner window --------------------------------------------

TEST_P(FamilyTest, ListingEntriesPassArgumentsAndResults) {
  vxtest::TestLibraries libs({Full()});
  drive.MakeDir("T");
  auto backend = F().make();
  arctest::ScriptResult(F().library, Entry("OpenArchive"), 0x77);
  arctest::ScriptResult(F().library, Entry("FindFirst"), 0);
  arctest::ScriptResult(F().library, Entry("FindNext"), 5);
  arctest::ScriptResult(F().library, Entry("CloseArchive"), 3);
  HARC archive;
  {
    backendtest::CurrentDirectory cwd("C:\\T");
    archive = backend->OpenArchive(Window(0x31), "a.arc", 0x1234);
  }
  EXPECT_EQ(archive, reinterpret_cast<HARC>(0x77));
  INDIVIDUALINFO info{};
  EXPECT_EQ(backend->FindFirst(archive, &info, "*.txt"), 0);
  EXPECT_EQ(backend->FindNext(archive, &info), 5);
  EXPECT_EQ(backend->CloseArchive(archive), 3);

  const auto calls = arctest::Calls();
  ASSERT_EQ(calls.size(), 4u);
  for (const auto& call : calls) EXPECT_EQ(call.library, F().library);
  EXPECT_EQ(calls[0].entry, Entry("OpenArchive"));
  EXPECT_EQ(calls[0].window, Window(0x31));
  EXPECT_EQ(calls[0].text, "C:\\T\\a.arc");  // made absolute
  EXPECT_EQ(calls[0].mode, 0x1234u);
  EXPECT_EQ(calls[1].entry, Entry("FindFirst"));
  EXPECT_EQ(calls[1].handle, archive);
  EXPECT_EQ(calls[1].text, "*.txt");
  EXPECT_EQ(calls[1].record, &info);
  EXPECT_EQ(calls[2].entry, Entry("FindNext"));
  EXPECT_EQ(calls[2].handle, archive);
  EXPECT_EQ(calls[2].record, &info);
  EXPECT_EQ(calls[3].entry, Entry("CloseArchive"));
  EXPECT_EQ(calls[3].handle, archive);
}

TEST_P(FamilyTest, CheckArchivePassesTheNameAsGivenAndModePlusFlags) {
  vxtest::TestLibraries libs({Full()});
  auto backend = F().make();
  for (intptr_t verdict : {1, 0}) {
    SCOPED_TRACE(verdict);
    arctest::Reset();
    arctest::ScriptResult(F().library, Entry("CheckArchive"), verdict);
    EXPECT_EQ(backend->CheckArchive("rel\\a.arc", 1, 16), verdict);
    const auto call = OnlyCall(F().library, Entry("CheckArchive"));
    EXPECT_EQ(call.text, "rel\\a.arc");
    EXPECT_EQ(call.mode, 17u);
  }
  // Mode and flags add as 32-bit unsigned numbers: large sums wrap.
  struct Sum {
    int mode, flags;
    DWORD passed;
  };
  for (const Sum& sum : {Sum{0x7FFFFFFF, 1, 0x80000000u}, Sum{-1, 2, 1u}, Sum{INT32_MIN, INT32_MIN, 0u}}) {
    SCOPED_TRACE(sum.passed);
    arctest::Reset();
    backend->CheckArchive("a.arc", sum.mode, sum.flags);
    EXPECT_EQ(OnlyCall(F().library, Entry("CheckArchive")).mode, sum.passed);
  }
}

TEST_P(FamilyTest, OwnerWindowIsStoredWhateverTheLibraryAnswers) {
  vxtest::TestLibraries libs({Full()});
  auto backend = F().make();
  int proc = 0;
  for (intptr_t verdict : {1, 0}) {
    SCOPED_TRACE(verdict);
    arctest::Reset();
    arctest::ScriptResult(F().library, Entry("SetOwnerWindowEx"), verdict);
    arctest::ScriptResult(F().library, Entry("KillOwnerWindowEx"), verdict);
    EXPECT_EQ(backend->SetOwnerWindowEx(Window(0x50), &proc), verdict != 0);
    EXPECT_EQ(backend->OwnerWindow, Window(0x50));
    EXPECT_EQ(backend->KillOwnerWindowEx(Window(0x50)), verdict != 0);
    EXPECT_EQ(backend->OwnerWindow, nullptr);
    const auto calls = arctest::Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].library, F().library);
    EXPECT_EQ(calls[0].entry, Entry("SetOwnerWindowEx"));
    EXPECT_EQ(calls[0].window, Window(0x50));
    EXPECT_EQ(calls[0].record, &proc);
    EXPECT_EQ(calls[1].entry, Entry("KillOwnerWindowEx"));
    EXPECT_EQ(calls[1].window, Window(0x50));
  }
}

// ---- the command entry ------------------------------------------------------------

TEST_P(FamilyTest, ExtractReturnsResultAndReportUnchanged) {
  vxtest::TestLibraries libs({Full()});
  auto backend = F().make();
  TArchiverOptions options;
  arctest::ScriptResult(F().library, F().prefix, 0x8019);
  arctest::ScriptReport(F().library, F().prefix, "not an archive");
  std::string out(5, 'x');
  EXPECT_EQ(backend->Extract(Window(0x21), "C:\\a.arc", options, "", nullptr, false, out), 0x8019);
  EXPECT_EQ(out, std::string("not \0", 5));  // cut at the buffer, length kept
  const auto call = OnlyCall(F().library, F().prefix);
  EXPECT_EQ(call.bufferSize, 5u);
  EXPECT_FALSE(call.bufferNull);
  EXPECT_EQ(call.window, F().extractKeepsWindow ? Window(0x21) : nullptr);
  EXPECT_EQ(backend->CmdLine, call.text);

  arctest::Reset();  // forgets the scripted result too
  arctest::ScriptResult(F().library, F().prefix, 0x8019);
  EXPECT_EQ(backend->Extract(nullptr, "C:\\a.arc", options, "", nullptr, false, output), 0x8019);
  EXPECT_TRUE(OnlyCall(F().library, F().prefix).bufferNull);
  EXPECT_EQ(OnlyCall(F().library, F().prefix).bufferSize, 0u);
}

// ---- content checks ----------------------------------------------------------------

TEST_P(FamilyTest, ContentCheckOpensAbsoluteAndClosesWhatItOpened) {
  vxtest::TestLibraries libs({Full()});
  drive.MakeDir("T");
  arctest::ScriptResult(F().library, Entry("OpenArchive"), 0x55);
  {
    backendtest::CurrentDirectory cwd("C:\\T");
    EXPECT_TRUE(F().isArchive("a.arc"));
  }
  const auto calls = arctest::Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].library, F().library);
  EXPECT_EQ(calls[0].entry, Entry("OpenArchive"));
  EXPECT_EQ(calls[0].window, nullptr);
  EXPECT_EQ(calls[0].text, "C:\\T\\a.arc");
  EXPECT_EQ(calls[0].mode, 0x00800002u);
  EXPECT_EQ(calls[1].library, F().library);
  EXPECT_EQ(calls[1].entry, Entry("CloseArchive"));
  EXPECT_EQ(calls[1].handle, reinterpret_cast<HARC>(0x55));
}

TEST_P(FamilyTest, ContentCheckOfAFileTheLibraryCannotOpen) {
  vxtest::TestLibraries libs({Full()});
  EXPECT_FALSE(F().isArchive("C:\\missing.arc"));  // the library answers handle 0
  const auto calls = arctest::Calls();
  ASSERT_EQ(calls.size(), 1u);  // nothing to close
  EXPECT_EQ(calls[0].entry, Entry("OpenArchive"));
}

TEST_P(FamilyTest, ContentCheckAnswersFalseWithoutLibraryOrEntry) {
  {
    vxtest::TestLibraries libs({});
    EXPECT_FALSE(F().isArchive("C:\\a.arc"));
  }
  {
    vxtest::TestLibraries libs({"no-open/" + F().library});
    EXPECT_FALSE(F().isArchive("C:\\a.arc"));
  }
  EXPECT_TRUE(arctest::Calls().empty());
}

// ---- operations a back-end does not offer -----------------------------------------

namespace {
class NotOffered : public lhacabtest::BackendTest {};
}  // namespace

TEST_F(NotOffered, RaisesTheBaseMessageAndTouchesNothing) {
  vxtest::TestLibraries libs({"full/CAB32.DLL", "full/UNRAR32.DLL"});
  TCab32 cab;
  TRar32 rar;
  TArchiverOptions options;
  options.ResFileName = "C:\\resp.txt";
  options.ResFileUsage = {ruOnPack, ruOnUnpack, ruOnRemoveItem, ruOnUpdate};
  const TStringList files = {"a.txt"};
  const std::string pack = Sjis("この形式では書庫ファイルの作成をサポートしておりません。");
  const std::string del = Sjis("この形式の書庫ではファイルの削除をサポートしておりません。");
  const std::string update = Sjis("この形式の書庫では書庫の更新をサポートしておりません。");
  const std::string sfx = Sjis("この形式では自己解凍書庫の作成をサポートしておりません。");
  struct Row {
    const char* what;
    TArchiver& backend;
    std::function<void(TArchiver&)> run;
    std::string message;
  };
  const Row rows[] = {
      {"CAB Delete", cab,
       [&](TArchiver& b) { b.Delete(nullptr, "C:\\a", options, "C:\\d", &files, true, output); },
       del},
      {"CAB Update", cab,
       [&](TArchiver& b) { b.Update(nullptr, "C:\\a", options, "C:\\d", &files, true, output); },
       update},
      {"RAR Pack", rar,
       [&](TArchiver& b) { b.Pack(nullptr, "C:\\a", options, "C:\\d", &files, true, output); },
       pack},
      {"RAR Delete", rar,
       [&](TArchiver& b) { b.Delete(nullptr, "C:\\a", options, "C:\\d", &files, true, output); },
       del},
      {"RAR Update", rar,
       [&](TArchiver& b) { b.Update(nullptr, "C:\\a", options, "C:\\d", &files, true, output); },
       update},
      {"RAR MakeSfx", rar,
       [&](TArchiver& b) { b.MakeSfx(nullptr, "C:\\a", options, "C:\\d", output); }, sfx},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    row.backend.CmdLine = "before";
    EXPECT_EQ(ArchiverMessage([&] { row.run(row.backend); }), row.message);
    EXPECT_EQ(row.backend.CmdLine, "before");
  }
  EXPECT_TRUE(arctest::Calls().empty());
  EXPECT_FALSE(drive.Exists("resp.txt"));
}
