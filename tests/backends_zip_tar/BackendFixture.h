// Small helpers shared by the ZIP and TAR back-end tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "archives/Exceptions.h"
#include "platform/win32api.h"
#include "recorder/ArcRecorder.h"
#include "support/Cp932.h"

namespace backendtest {

// Number of files this process holds open; a stream left open shows here.
inline int OpenDescriptorCount() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
    ++count;
  return count;
}

// The current directory set for one test, restored afterwards.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::string& dir) {
    char old[MAX_PATH + 1] = {};
    GetCurrentDirectoryA(sizeof old, old);
    old_ = old;
    EXPECT_TRUE(SetCurrentDirectoryA(dir.c_str())) << dir;
  }
  ~CurrentDirectory() { SetCurrentDirectoryA(old_.c_str()); }
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;

 private:
  std::string old_;
};

// The message of the EArchiver that Action raises, or a failure.
template <typename Action>
std::string ArchiverMessage(Action action) {
  try {
    action();
  } catch (const vx::EArchiver& e) {
    return e.what();
  }
  ADD_FAILURE() << "no EArchiver raised";
  return std::string();
}

inline HWND Window(uintptr_t value) { return reinterpret_cast<HWND>(value); }

}  // namespace backendtest
