// Self-extracting programs: a stub program followed by the archive. The
// stubs live beside the library that uses them.
#pragma once

#include <string>

#include "common/Report.h"

namespace arc {

// The directory of the library this code is linked into.
std::string LibraryDirectory();
// Writes stub + archive to program (through a temporary file) and marks it
// executable. Throws Failure naming what cannot be read or written.
void WriteSfxProgram(const std::string& stubPosix, const std::string& archivePosix,
                     const std::string& programPosix, const std::string& programShown);
// Where "s" / "-f" put the program: the directory (when given) or beside the
// archive, the archive's name with ".exe".
std::string SfxProgramName(const std::string& archiveWin, const std::string& dirWin);

}  // namespace arc
