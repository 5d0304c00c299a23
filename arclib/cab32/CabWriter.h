// Writing a cabinet ourselves: MSZIP blocks deflated by libdeflate on
// every core (or stored), names with backslashes, the UTF-8 mark on names
// beyond ASCII. A folder holds at most 65,535 blocks of 32 KiB, so a
// larger set of files gets more folders.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/Progress.h"
#include "common/Report.h"
#include "common/Sources.h"

namespace cab32 {

// Writes the cabinet through a temporary file beside it; throws Failure.
void WriteCabinet(const std::string& archivePosix, const std::string& archiveShown,
                  const std::vector<arc::SourceItem>& items, bool compress, arc::Progress& progress,
                  arc::Report& report);

// The cabinet checksum of a data block: `data` first, then its two size
// fields, each folded in 32-bit little-endian words.
uint32_t BlockChecksum(const uint8_t* data, size_t size, uint16_t packed, uint16_t original);

}  // namespace cab32
