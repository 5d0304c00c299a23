#include "common/Progress.h"

#include <cstring>

#include "common/Cp932.h"
#include "common/Failure.h"
#include "platform/win32api.h"

namespace arc {

namespace {

HWND ownerWindow = nullptr;

template <size_t N>
void CopyText(char (&dest)[N], const std::string& text) {
  const size_t n = SafeCut(text, N - 1);
  std::memcpy(dest, text.data(), n);
  dest[n] = '\0';
}

DWORD Clamp32(uint64_t v) { return v > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(v); }

}  // namespace

void SetOwner(HWND window) { ownerWindow = window; }
void KillOwner(HWND window) {
  if (window == nullptr || window == ownerWindow) ownerWindow = nullptr;
}
HWND Owner() { return ownerWindow; }

Progress::Progress(HWND owner) : owner_(owner) {
  if (owner_ != nullptr) message_ = RegisterWindowMessageA("wm_arcextract");
}

void Progress::Send(UINT state) {
  if (owner_ == nullptr || message_ == 0) return;
  if (SendMessageA(owner_, message_, state, reinterpret_cast<LPARAM>(&info_)) != 0)
    throw Failure(ARCERR_USER_CANCEL, "cancelled by the user");
}

void Progress::Open(const std::string& archiveCp932) {
  std::memset(&info_, 0, sizeof info_);
  CopyText(info_.exinfo.szSourceFileName, archiveCp932);
  Send(ARCEXTRACT_OPEN);
}

void Progress::Begin(const std::string& sourceCp932, const std::string& destCp932, const EntryInfo& entry) {
  std::memset(&info_, 0, sizeof info_);
  info_.exinfo.dwFileSize = Clamp32(entry.original);
  CopyText(info_.exinfo.szSourceFileName, sourceCp932);
  CopyText(info_.exinfo.szDestFileName, destCp932);
  info_.dwCompressedSize = Clamp32(entry.packed);
  info_.dwCRC = entry.crc;
  info_.uOSType = entry.osType;
  info_.wRatio = RatioPerMille(entry.original, entry.packed);
  DosDateTime(entry.mtime, info_.wDate, info_.wTime);
  CopyText(info_.szAttribute, AttributeText(entry));
  CopyText(info_.szMode, entry.method);
  lastStep_ = 0;
  size_ = entry.original;
  Send(ARCEXTRACT_BEGIN);
}

void Progress::Step(uint64_t done) {
  if (owner_ == nullptr) return;
  info_.exinfo.dwWriteSize = Clamp32(done);
  if (done - lastStep_ < (1u << 20) && done != size_) return;
  lastStep_ = done;
  Send(ARCEXTRACT_INPROCESS);
}

void Progress::End() {
  info_.exinfo.dwWriteSize = info_.exinfo.dwFileSize;
  Send(ARCEXTRACT_END);
}

}  // namespace arc
