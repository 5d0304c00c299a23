// Drives one of our archiver libraries the way the back-ends do: the check
// entry, the listing entries member by member, and the test command, which
// decodes every member and verifies it. Our libraries check in full in
// every mode, so one mode is enough.
#pragma once

#include <string>

#include "EntryDeclarations.h"
#include "FuzzFile.h"
#include "archives/ArchiverDll.h"
#include "platform/win32api.h"

namespace vxfuzz {

struct LibraryEntries {
  TArcCommandProc Command;
  TArcOpenArchiveProc Open;
  TArcCloseArchiveProc Close;
  TArcFindFirstProc FindFirst;
  TArcFindNextProc FindNext;
  TArcCheckArchiveProc Check;
  const char* TestCommand;  // e.g. "t", "-t"
};

inline void ExerciseArchive(const LibraryEntries& lib, const std::string& winPath) {
  lib.Check(winPath.c_str(), CHECKARCHIVE_FULLCRC);
  if (HARC archive = lib.Open(nullptr, winPath.c_str(), 0)) {
    INDIVIDUALINFO info{};
    for (int found = lib.FindFirst(archive, "*", &info); found == 0; found = lib.FindNext(archive, &info)) {
    }
    lib.Close(archive);
  }
  static char output[4096];
  const std::string line = std::string(lib.TestCommand) + " \"" + winPath + "\"";
  lib.Command(nullptr, line.c_str(), output, sizeof output);
}

}  // namespace vxfuzz

#define VXFUZZ_ENTRIES(Prefix, Test) \
  vxfuzz::LibraryEntries { Prefix, Prefix##OpenArchive, Prefix##CloseArchive, Prefix##FindFirst, Prefix##FindNext, Prefix##CheckArchive, Test }

// The whole target of one library: the input as an archive file named with
// Extension, driven through the library's entries of Prefix.
#define VXFUZZ_ARCHIVE_TARGET(Prefix, Extension, TestCommand)                        \
  VXFUZZ_DECLARE_ENTRIES(Prefix)                                                     \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {          \
    static const vxfuzz::FuzzFile file(Extension);                                   \
    file.Write(data, size);                                                          \
    vxfuzz::ExerciseArchive(VXFUZZ_ENTRIES(Prefix, TestCommand), file.Win());        \
    return 0;                                                                        \
  }
