// A drive C:, the recording test libraries on the search path, and every
// library family unloaded after each test so that the next one starts clean.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archives/ArchiveFile.h"
#include "archives/Exceptions.h"
#include "archivers/ARJ32.h"
#include "archivers/CAB32.h"
#include "archivers/LHA32.h"
#include "archivers/RAR32.h"
#include "archivers/TAR32.h"
#include "archivers/ZIP32.h"
#include "recorder/ArcRecorder.h"
#include "support/Cp932.h"
#include "support/Scratch.h"

namespace componenttest {

inline const std::vector<std::string> kAllLibraries = {
    "full/UNLHA32.DLL", "full/UNARJ32J.DLL", "full/UNRAR32.DLL", "full/CAB32.DLL",
    "full/tar32.dll",   "full/UNZIP32.DLL",  "full/ZIP32J.DLL"};

class ComponentTest : public ::testing::Test {
 protected:
  void SetUp() override { arctest::Reset(); }
  void TearDown() override {
    vx::TLha32::FreeDLL();
    vx::TArj32::FreeDLL();
    vx::TRar32::FreeDLL();
    vx::TCab32::FreeDLL();
    vx::TTar32::FreeDLL();
    vx::TZip32::FreeDLL();
  }

  // Entries called so far, in order, leaving out the ones not named.
  static std::vector<std::string> EntriesCalled(const std::vector<std::string>& among) {
    std::vector<std::string> out;
    for (const arctest::Call& call : arctest::Calls())
      for (const std::string& name : among)
        if (call.entry == name) out.push_back(call.entry);
    return out;
  }

  vxtest::DriveC drive;
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

}  // namespace componenttest
