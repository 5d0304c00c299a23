#include "archives/ArchiverLibrary.h"

#include <vector>

#include "archives/Exceptions.h"

namespace vx {

bool TArchiverLibrary::TryLoad() {
  if (Module == nullptr) Module = LoadLibraryA(FileName);
  return Module != nullptr;
}

void TArchiverLibrary::Load() {
  if (!TryLoad()) throw EArchiver(MissingMessage);
}

void TArchiverLibrary::Free() {
  if (Module != nullptr) FreeLibrary(Module);
  Module = nullptr;
}

std::string ExpandFileName(const std::string& Name) {
  std::vector<char> buffer(MAX_PATH + 1);
  char* filePart = nullptr;
  DWORD n = GetFullPathNameA(Name.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), &filePart);
  if (n >= buffer.size()) {
    buffer.resize(n + 1);
    n = GetFullPathNameA(Name.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), &filePart);
  }
  if (n == 0 || n >= buffer.size()) return Name;
  return std::string(buffer.data(), n);
}

}  // namespace vx
