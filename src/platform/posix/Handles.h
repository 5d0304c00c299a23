// Kernel objects behind HANDLE values: open files and directory searches.
#pragma once

#include <memory>

#include "platform/win32api.h"

namespace vxposix::detail {

class KernelObject {
 public:
  virtual ~KernelObject() = default;
};

// Registers an object and gives its handle.
HANDLE AddHandle(std::unique_ptr<KernelObject> object);
// The object of a handle when it is of type T, else null (last error set).
KernelObject* LookupHandle(HANDLE handle);
template <typename T>
T* HandleAs(HANDLE handle) {
  T* object = dynamic_cast<T*>(LookupHandle(handle));
  if (object == nullptr) SetLastError(ERROR_INVALID_HANDLE);
  return object;
}
// Frees the object; false when the handle is unknown.
bool RemoveHandle(HANDLE handle);

// FILETIME from seconds and nanoseconds since 1970.
FILETIME UnixToFileTime(long long seconds, long nanoseconds);

}  // namespace vxposix::detail
