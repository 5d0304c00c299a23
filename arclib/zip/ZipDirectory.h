// The central directory of a ZIP archive, read by ourselves: listings with
// CRC and packed sizes, and the offset repair of a self-extracting program
// made of a stub and an archive.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/EntryInfo.h"
#include "common/Report.h"

namespace zip {

struct CentralEntry {
  std::string name;        // as stored
  bool utf8 = false;       // language-encoding flag
  uint16_t madeBy = 0, flags = 0, method = 0, dosTime = 0, dosDate = 0;
  uint32_t crc = 0, packed = 0, original = 0, externalAttributes = 0, localOffset = 0;
};

struct CentralDirectory {
  uint64_t start = 0;        // where it really begins in the file
  uint64_t size = 0;
  uint64_t statedOffset = 0; // where the end record says it begins
  uint64_t endRecord = 0;    // offset of the end-of-central-directory record
  std::vector<CentralEntry> entries;
};

// Throws Failure (ARCERR_NOT_ARC_FILE / ARCERR_HEADER_BROKEN).
CentralDirectory ReadCentralDirectory(const std::string& posixPath);
std::vector<arc::EntryInfo> ListZip(const std::string& posixPath);
// Shifts every offset by the stub's length so that readers need no
// correction; writes through a temporary file.
void AdjustOffsets(const std::string& posixPath, const std::string& shownName, arc::Report& report);

}  // namespace zip
