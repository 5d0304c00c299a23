// UNZIP32.DLL on any bytes: the central directory and its end records, the
// members, through the check, listing and test entries.
#include "ArchiveEntries.h"
#include "EntryDeclarations.h"
#include "FuzzFile.h"

VXFUZZ_DECLARE_ENTRIES(UnZip)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const vxfuzz::FuzzFile file(".zip");
  file.Write(data, size);
  vxfuzz::ExerciseArchive(VXFUZZ_ENTRIES(UnZip, "-t"), file.Win());
  return 0;
}
