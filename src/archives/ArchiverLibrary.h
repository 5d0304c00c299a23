// Process-wide state of one archiver library: its module handle and the
// entry addresses kept after their first lookup. One per library file, shared
// by every back-end object of the family.
#pragma once

#include <string>

#include "archives/Archiver.h"
#include "platform/win32api.h"

namespace vx {

class TArchiverLibrary {
 public:
  // MissingMessage is what Load raises when the library cannot be loaded.
  TArchiverLibrary(const char* FileName, const char* MissingMessage)
      : FileName(FileName), MissingMessage(MissingMessage) {}

  // LoadLibraryA while the handle is empty; true when loaded.
  bool TryLoad();
  // TryLoad, raising the family's EArchiver when the library is missing.
  void Load();
  // FreeLibrary and empty the handle.
  void Free();
  HMODULE Handle() const { return Module; }
  bool Loaded() const { return Module != nullptr; }

 private:
  const char* FileName;
  const char* MissingMessage;
  HMODULE Module = nullptr;
};

// One entry of a library, looked up on first use and kept.
template <typename Proc>
class TLibraryEntry {
 public:
  TLibraryEntry(TArchiverLibrary& Library, const char* Name) : Library(Library), Name(Name) {}

  Proc Get() {
    // Through void(*)(void), the generic function pointer the compiler
    // accepts for casts between function types.
    if (Address == nullptr)
      Address = reinterpret_cast<Proc>(
          reinterpret_cast<void (*)()>(GetEntryAddress(Library.Handle(), Name)));
    return Address;
  }
  void Forget() { Address = nullptr; }
  const char* EntryName() const { return Name; }

 private:
  TArchiverLibrary& Library;
  const char* Name;
  Proc Address = nullptr;
};

// The mode argument of a library's check entry: the caller's mode and
// flags added as 32-bit unsigned numbers, so that a sum past the sign bit
// wraps as the library expects instead of overflowing.
inline int CheckArchiveMode(int Mode, int Flags) {
  return static_cast<int>(static_cast<unsigned>(Mode) + static_cast<unsigned>(Flags));
}

// Full path of Name against the current directory ("made absolute").
std::string ExpandFileName(const std::string& Name);

}  // namespace vx
