// Our rar library on any bytes, through the check, listing and test entries.
#include "ArchiveEntries.h"
#include "EntryDeclarations.h"
#include "FuzzFile.h"

VXFUZZ_DECLARE_ENTRIES(Unrar)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const vxfuzz::FuzzFile file(".rar");
  file.Write(data, size);
  vxfuzz::ExerciseArchive(VXFUZZ_ENTRIES(Unrar, "-t"), file.Win());
  return 0;
}
