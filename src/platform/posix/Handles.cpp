#include "platform/posix/Handles.h"

#include <cerrno>
#include <map>
#include <mutex>

#include "platform/posix/Internal.h"

namespace vxposix::detail {
namespace {

std::mutex handlesLock;
std::map<HANDLE, std::unique_ptr<KernelObject>>& Handles() {
  static std::map<HANDLE, std::unique_ptr<KernelObject>> handles;
  return handles;
}

}  // namespace

HANDLE AddHandle(std::unique_ptr<KernelObject> object) {
  HANDLE h = object.get();
  std::lock_guard<std::mutex> guard(handlesLock);
  Handles()[h] = std::move(object);
  return h;
}

KernelObject* LookupHandle(HANDLE handle) {
  std::lock_guard<std::mutex> guard(handlesLock);
  auto it = Handles().find(handle);
  return it == Handles().end() ? nullptr : it->second.get();
}

bool RemoveHandle(HANDLE handle) {
  std::unique_ptr<KernelObject> object;
  {
    std::lock_guard<std::mutex> guard(handlesLock);
    auto it = Handles().find(handle);
    if (it == Handles().end()) return false;
    object = std::move(it->second);
    Handles().erase(it);
  }
  return true;  // the object is destroyed outside the lock
}

FILETIME UnixToFileTime(long long seconds, long nanoseconds) {
  // 100-nanosecond intervals since 1601-01-01.
  const unsigned long long ticks =
      static_cast<unsigned long long>(seconds + 11644473600LL) * 10000000ULL +
      static_cast<unsigned long long>(nanoseconds / 100);
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
  ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return ft;
}

DWORD ErrnoToWin32(int err) {
  switch (err) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_FILE_EXISTS;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case ENOSPC:
    case EDQUOT: return ERROR_HANDLE_DISK_FULL;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EBADF: return ERROR_INVALID_HANDLE;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case EBUSY:
    case ETXTBSY: return ERROR_SHARING_VIOLATION;
    default: return ERROR_INVALID_FUNCTION;
  }
}

void SetLastErrorFromErrno() { SetLastError(ErrnoToWin32(errno)); }

}  // namespace vxposix::detail
