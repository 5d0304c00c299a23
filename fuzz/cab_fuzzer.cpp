// CAB32.DLL on any bytes, through the check and listing entries.
#include "ArchiveEntries.h"

VXFUZZ_ARCHIVE_TARGET(Cab, ".cab", "-l")
