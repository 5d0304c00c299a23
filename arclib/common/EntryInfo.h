// One member as a listing or a progress report shows it, and its transfer
// into the family's records.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "archives/ArchiverDll.h"

namespace arc {

struct EntryInfo {
  std::string name;          // code page 932, as the archive spells it
  uint64_t original = 0;
  uint64_t packed = 0;
  uint32_t crc = 0;
  time_t mtime = 0;
  uint32_t attributes = 0;   // FILE_ATTRIBUTE_* bits
  std::string method;        // e.g. "-lh5-", "deflate", "MSZIP"
  bool directory = false;
  unsigned osType = 0;
};

// MS-DOS date and time of a moment, in local time.
void DosDateTime(time_t t, WORD& date, WORD& time);
// "-a--" style: read-only, hidden, system, archive; "d" first for a directory.
std::string AttributeText(const EntryInfo& e);
// Per mille of packed to original (0 for an empty member).
WORD RatioPerMille(uint64_t original, uint64_t packed);

void FillIndividualInfo(const EntryInfo& e, INDIVIDUALINFO& info);

}  // namespace arc
