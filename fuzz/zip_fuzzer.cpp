// UNZIP32.DLL on any bytes: the central directory and its end records, the
// members, through the check, listing and test entries.
#include "ArchiveEntries.h"

VXFUZZ_ARCHIVE_TARGET(UnZip, ".zip", "-t")
