// Archive handles of the OpenArchive / FindFirst / FindNext / CloseArchive
// entries: the members are read at opening and handed out one by one.
#pragma once

#include <string>
#include <vector>

#include "archives/ArchiverDll.h"
#include "common/EntryInfo.h"

namespace arc {

// A new handle over the members (each library keeps its own handles).
HARC OpenListing(std::vector<EntryInfo> entries);
// 0 and the record filled for the first (next) member matching the
// wildcard ("*" or "*.*" or empty: all); -1 when there is none, also for a
// handle that is not open.
int FindFirstEntry(HARC handle, LPCSTR wild, LPINDIVIDUALINFO info);
int FindNextEntry(HARC handle, LPINDIVIDUALINFO info);
// 0, or ARCERR_NOT_ARC_FILE for a handle that is not open.
int CloseListing(HARC handle);
// The member FindFirstEntry or FindNextEntry last handed out; null before
// the first, after the last, or for a handle that is not open.
const EntryInfo* CurrentEntry(HARC handle);

}  // namespace arc
