// The central directory of a ZIP archive, read by ourselves: listings with
// CRC and packed sizes, and the offset repair of a self-extracting program
// made of a stub and an archive.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/EntryInfo.h"
#include "common/Report.h"

namespace zip {

struct CentralEntry {
  std::string name;        // as stored
  bool utf8 = false;       // language-encoding flag
  uint16_t madeBy = 0, flags = 0, method = 0, dosTime = 0, dosDate = 0;
  uint32_t crc = 0, externalAttributes = 0;
  uint64_t packed = 0, original = 0, localOffset = 0;  // ZIP64 extra field applied
};

struct CentralDirectory {
  uint64_t start = 0;        // where it really begins in the file
  uint64_t size = 0;
  uint64_t statedOffset = 0; // where the end record says it begins
  uint64_t endRecord = 0;    // offset of the end-of-central-directory record
  bool zip64 = false;        // with the ZIP64 end records
  std::vector<CentralEntry> entries;
};

// The name of a method that our reader cannot decode ("Deflate64"), or
// empty for one it decodes.
std::string UnreadableMethod(uint16_t method);
// Throws Failure (ARCERR_METHOD) naming the first member of the
// directory that `selected` picks and whose method cannot be decoded.
void RefuseUnreadableMethods(const CentralDirectory& dir, const std::function<bool(const std::string&)>& selected);

// Throws Failure (ARCERR_NOT_ARC_FILE / ARCERR_HEADER_BROKEN).
CentralDirectory ReadCentralDirectory(const std::string& posixPath);
std::vector<arc::EntryInfo> ListZip(const std::string& posixPath);
// Shifts every offset by the stub's length so that readers need no
// correction; writes through a temporary file.
void AdjustOffsets(const std::string& posixPath, const std::string& shownName, arc::Report& report);

}  // namespace zip
