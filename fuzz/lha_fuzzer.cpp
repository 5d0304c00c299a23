// UNLHA32.DLL on any bytes: headers of every level, every method, through
// the check, listing and test entries.
#include "ArchiveEntries.h"

VXFUZZ_ARCHIVE_TARGET(Unlha, ".lzh", "t")
