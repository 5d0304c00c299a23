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

TSameFile::TSameFile(const std::string& Path)
    : FullPath(ExpandFileName(Path)), Known(GetFileIdentity(Path, Identity)) {}

bool TSameFile::NamedBy(const std::string& Other) const {
  if (CompareText(FullPath, ExpandFileName(Other)) == 0) return true;
  TFileIdentity other;
  return Known && GetFileIdentity(Other, other) && other == Identity;
}

bool TWalkPath::Enter(const std::string& Folder) {
  TFileIdentity id;
  if (!GetFileIdentity(Folder, id)) id = TFileIdentity();
  else if (std::find(Path.begin(), Path.end(), id) != Path.end()) return false;
  Path.push_back(id);
  return true;
}

void TWalkPath::Leave() {
  if (!Path.empty()) Path.pop_back();
}

}  // namespace vx
