// Our tar library on any bytes, through the check, listing and test entries.
#include "ArchiveEntries.h"
#include "EntryDeclarations.h"
#include "FuzzFile.h"

VXFUZZ_DECLARE_ENTRIES(Tar)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const vxfuzz::FuzzFile file(".tgz");
  file.Write(data, size);
  vxfuzz::ExerciseArchive(VXFUZZ_ENTRIES(Tar, "t -f"), file.Win());
  return 0;
}
