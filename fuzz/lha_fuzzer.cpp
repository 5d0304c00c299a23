// UNLHA32.DLL on any bytes: headers of every level, every method, through
// the check, listing and test entries.
#include "ArchiveEntries.h"
#include "EntryDeclarations.h"
#include "FuzzFile.h"

VXFUZZ_DECLARE_ENTRIES(Unlha)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const vxfuzz::FuzzFile file(".lzh");
  file.Write(data, size);
  vxfuzz::ExerciseArchive(VXFUZZ_ENTRIES(Unlha, "t"), file.Win());
  return 0;
}
