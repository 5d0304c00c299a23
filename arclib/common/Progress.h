// Progress for the owner window: the registered message "wm_arcextract"
// with the state in wParam and the extracting-information record in lParam.
// A non-zero answer stops the operation with the cancel code.
#pragma once

#include <cstdint>
#include <string>

#include "archives/ArchiverDll.h"
#include "common/EntryInfo.h"

namespace arc {

// The owner window of this library (each library keeps its own).
void SetOwner(HWND window);
void KillOwner(HWND window);
HWND Owner();

class Progress {
 public:
  // Silent when owner is null.
  explicit Progress(HWND owner);
  // ARCEXTRACT_OPEN for the archive.
  void Open(const std::string& archiveCp932);
  // ARCEXTRACT_BEGIN for a member.
  void Begin(const std::string& sourceCp932, const std::string& destCp932, const EntryInfo& entry);
  // ARCEXTRACT_INPROCESS, at most once per MiB of progress and at the
  // member's end. Sizes of 4 GiB or more show as 0xFFFFFFFF in the record's
  // 32-bit fields.
  void Step(uint64_t done);
  // ARCEXTRACT_END for the whole operation.
  void End();

 private:
  void Send(UINT state);

  HWND owner_;
  UINT message_ = 0;
  uint64_t lastStep_ = 0;
  uint64_t size_ = 0;  // the member's, in full
  EXTRACTINGINFOEX info_{};
};

}  // namespace arc
