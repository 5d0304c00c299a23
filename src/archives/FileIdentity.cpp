#include "archives/FileIdentity.h"

#include <algorithm>

#include "archives/ArchiverLibrary.h"
#include "archives/MbcsText.h"

namespace vx {

bool GetFileIdentity(const std::string& Path, TFileIdentity& Identity) {
  const std::string path = Path.empty() ? std::string(".") : Path;
  HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  const BOOL ok = GetFileInformationByHandle(h, &info);
  CloseHandle(h);
  if (!ok) return false;
  Identity.Volume = info.dwVolumeSerialNumber;
  Identity.Index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  // File systems without file numbers report 0 for every file.
  return Identity.Index != 0;
}

bool IsSameFile(const std::string& A, const std::string& B) {
  if (CompareText(ExpandFileName(A), ExpandFileName(B)) == 0) return true;
  TFileIdentity a, b;
  return GetFileIdentity(A, a) && GetFileIdentity(B, b) && a == b;
}

bool TWalkPath::Enter(const std::string& Folder) {
  TFileIdentity id;
  const bool known = GetFileIdentity(Folder, id);
  if (known && std::find(Path.begin(), Path.end(), id) != Path.end()) return false;
  if (known) Path.push_back(id);
  Known.push_back(known);
  return true;
}

void TWalkPath::Leave() {
  if (Known.empty()) return;
  if (Known.back()) Path.pop_back();
  Known.pop_back();
}

}  // namespace vx
