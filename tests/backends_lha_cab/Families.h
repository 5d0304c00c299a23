// The four library families of these tests (LHA, ARJ, CAB, RAR) and a
// fixture that leaves every one of their libraries unloaded afterwards.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "archivers/ARJ32.h"
#include "archivers/CAB32.h"
#include "archivers/LHA32.h"
#include "archivers/RAR32.h"
#include "backends_zip_tar/BackendFixture.h"
#include "recorder/ArcRecorder.h"
#include "support/Scratch.h"

namespace lhacabtest {

struct Family {
  const char* name;
  std::string library;  // library file, e.g. "UNLHA32.DLL"
  std::string prefix;   // entry prefix, e.g. "Unlha"
  std::string missing;  // UTF-8 text of the missing-library message
  std::function<std::unique_ptr<vx::TArchiver>()> make;
  std::function<void()> load;
  std::function<void()> free;
  std::function<bool(const std::string&)> isArchive;
  bool extractKeepsWindow;  // Extract hands the caller's window to the library
};

// Parameterised tests name the family instead of dumping its bytes.
inline void PrintTo(const Family& family, std::ostream* os) { *os << family.name; }

inline const Family kLha{"Lha",
                         "UNLHA32.DLL",
                         "Unlha",
                         "Lha 形式書庫を扱うには UNLHA32.DLL が 必要です。",
                         [] { return std::make_unique<vx::TLha32>(); },
                         vx::TLha32::LoadDLL,
                         vx::TLha32::FreeDLL,
                         vx::IsLhaArchive,
                         true};
inline const Family kArj{"Arj",
                         "UNARJ32J.DLL",
                         "Unarj",
                         "ARJ 形式書庫を扱うには UNARJ32J.DLL が 必要です。",
                         [] { return std::make_unique<vx::TArj32>(); },
                         vx::TArj32::LoadDLL,
                         vx::TArj32::FreeDLL,
                         vx::IsArjArchive,
                         false};
inline const Family kCab{"Cab",
                         "CAB32.DLL",
                         "Cab",
                         "CAB 形式書庫を扱うには CAB32.DLL が 必要です。",
                         [] { return std::make_unique<vx::TCab32>(); },
                         vx::TCab32::LoadDLL,
                         vx::TCab32::FreeDLL,
                         vx::IsCabArchive,
                         true};
inline const Family kRar{"Rar",
                         "UNRAR32.DLL",
                         "Unrar",
                         "この機能の使用には UNRAR32.DLL が 必要です。",
                         [] { return std::make_unique<vx::TRar32>(); },
                         vx::TRar32::LoadDLL,
                         vx::TRar32::FreeDLL,
                         vx::IsRarArchive,
                         true};

// Every test starts with an empty record and a drive C:, and ends with no
// library of the four families loaded, so that loading is seen afresh.
class BackendTest : public ::testing::Test {
 protected:
  void SetUp() override { arctest::Reset(); }
  void TearDown() override {
    vx::TLha32::FreeDLL();
    vx::TArj32::FreeDLL();
    vx::TCab32::FreeDLL();
    vx::TRar32::FreeDLL();
  }

  // The one call a test expects, from the given library and entry.
  static arctest::Call OnlyCall(const std::string& library, const std::string& entry) {
    const auto calls = arctest::Calls();
    EXPECT_EQ(calls.size(), 1u);
    if (calls.empty()) return arctest::Call();
    EXPECT_EQ(calls[0].library, library);
    EXPECT_EQ(calls[0].entry, entry);
    return calls[0];
  }

  vxtest::DriveC drive;
  std::string output;
};

}  // namespace lhacabtest
