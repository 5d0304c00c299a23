// UNRAR32.DLL on any bytes, through the check, listing and test entries.
#include "ArchiveEntries.h"

VXFUZZ_ARCHIVE_TARGET(Unrar, ".rar", "-t")
