// Writing a cabinet with libgcab: one folder, MSZIP or stored, names with
// backslashes, the UTF-8 mark on names beyond ASCII.
#pragma once

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

}  // namespace cab32
