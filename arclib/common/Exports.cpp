#include "common/Exports.h"

#include "common/WinNames.h"

namespace arc {

HARC OpenArchiveWith(LPCSTR winPath, const std::function<std::vector<EntryInfo>(const std::string&)>& list) {
  try {
    std::string posix;
    if (winPath == nullptr || !PosixPathOf(winPath, posix)) return nullptr;
    return OpenListing(list(posix));
  } catch (...) {
    return nullptr;
  }
}

BOOL CheckArchiveWith(LPCSTR winPath, int mode, const std::function<bool(const std::string&, int)>& check) {
  try {
    std::string posix;
    if (winPath == nullptr || !PosixPathOf(winPath, posix)) return FALSE;
    return check(posix, mode) ? TRUE : FALSE;
  } catch (...) {
    return FALSE;
  }
}

}  // namespace arc
