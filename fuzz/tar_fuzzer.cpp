// tar32.dll on any bytes (tar, gzip, bzip2, sparse maps, pax records),
// through the check, listing and test entries.
#include "ArchiveEntries.h"

VXFUZZ_ARCHIVE_TARGET(Tar, ".tgz", "t -f")
