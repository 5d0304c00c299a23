#include <gtest/gtest.h>

#include "archives/ArchiverLibrary.h"
#include "archives/Exceptions.h"
#include "recorder/ArcRecorder.h"
#include "support/Cp932.h"
#include "platform/posix/vxposix.h"
#include "support/Scratch.h"

using namespace vx;
using vxtest::Sjis;

namespace {

const std::string& MissingMessage() {
  static const std::string message = Sjis("Lha 形式書庫を扱うには UNLHA32.DLL が 必要です。");
  return message;
}

std::string ModulePath(HMODULE module) {
  char name[300] = {};
  GetModuleFileNameA(module, name, sizeof name);
  return name;
}

class LibraryState : public ::testing::Test {
 protected:
  void SetUp() override { arctest::Reset(); }
  void TearDown() override { library.Free(); }
  TArchiverLibrary library{"UNLHA32.DLL", MissingMessage().c_str()};
};

}  // namespace

TEST_F(LibraryState, MissingLibraryRaisesFamilyMessage) {
  vxtest::TestLibraries libs({});
  EXPECT_FALSE(library.TryLoad());
  try {
    library.Load();
    FAIL() << "no error";
  } catch (const EArchiver& e) {
    EXPECT_EQ(std::string(e.what()), MissingMessage());
  }
  EXPECT_FALSE(library.Loaded());
}

TEST_F(LibraryState, LoadsOnceAndKeepsHandle) {
  vxtest::TestLibraries libs({"full/UNLHA32.DLL"});
  library.Load();
  const HMODULE first = library.Handle();
  ASSERT_NE(first, nullptr);
  library.Load();
  EXPECT_EQ(library.Handle(), first);
  // A second load of the same file through the platform gives the same handle.
  const HMODULE again = LoadLibraryA("unlha32.dll");
  EXPECT_EQ(again, first);
  FreeLibrary(again);
}

TEST_F(LibraryState, EntryIsLookedUpOnceAndCalled) {
  vxtest::TestLibraries libs({"full/UNLHA32.DLL"});
  library.Load();
  TLibraryEntry<TArcCommandProc> unlha(library, "Unlha");
  arctest::ScriptResult("UNLHA32.DLL", "Unlha", 0x8012);
  char buffer[8];
  EXPECT_EQ(unlha.Get()(nullptr, "l \"a.lzh\"", buffer, sizeof buffer), 0x8012);
  const auto calls = arctest::CallsOf("Unlha");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].text, "l \"a.lzh\"");
  EXPECT_EQ(calls[0].bufferSize, 8u);
}

TEST_F(LibraryState, LibraryLackingOneEntryStillLoads) {
  vxtest::TestLibraries libs({"no-check/UNLHA32.DLL"});
  library.Load();
  TLibraryEntry<TArcCommandProc> unlha(library, "Unlha");
  EXPECT_NO_THROW(unlha.Get());
  TLibraryEntry<TArcCheckArchiveProc> check(library, "UnlhaCheckArchive");
  try {
    check.Get();
    FAIL() << "no error";
  } catch (const EArchiver& e) {
    EXPECT_EQ(std::string(e.what()), ModulePath(library.Handle()) + Sjis(" に ") +
                                         "UnlhaCheckArchive" + Sjis(" のエントリが見つかりません。"));
  }
}

TEST_F(LibraryState, ModulePathIsTheWindowsPathOfTheFile) {
  vxtest::TestLibraries libs({"full/UNLHA32.DLL"});
  library.Load();
  std::string expected;
  ASSERT_TRUE(vxposix::ToWinPath(libs.Folder() + "/UNLHA32.DLL", expected));
  EXPECT_EQ(ModulePath(library.Handle()), expected);
}

TEST_F(LibraryState, FreeEmptiesHandleAndNextLoadFindsItAgain) {
  vxtest::TestLibraries libs({"full/UNLHA32.DLL"});
  library.Load();
  library.Free();
  EXPECT_FALSE(library.Loaded());
  libs.Remove("UNLHA32.DLL");
  EXPECT_FALSE(library.TryLoad());
}
