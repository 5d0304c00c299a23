// Extras of the POSIX Windows personality that Win32 itself has no name for:
// drive mapping and the conversions at the boundary to the POSIX world.
// Programs, our archiver libraries and tests use these; the module's core
// never does (it sees only win32api.h).
#pragma once

#include <string>
#include <vector>

#include "platform/win32api.h"

#define VXPOSIX __attribute__((visibility("default")))

namespace vxposix {

// Maps drive letter (A-Z, either case) to an existing POSIX directory.
// Z: is the POSIX root unless remapped. Returns false for a bad letter or a
// directory that does not exist.
VXPOSIX bool MapDrive(char letter, const std::string& posixDir);
VXPOSIX void UnmapDrive(char letter);
// The POSIX directory of a mapped drive, empty when unmapped.
VXPOSIX std::string DriveRoot(char letter);

// Code page 932 <-> UTF-8. False when a byte sequence cannot be converted.
VXPOSIX bool Cp932ToUtf8(const std::string& in, std::string& out);
VXPOSIX bool Utf8ToCp932(const std::string& in, std::string& out);

// Windows path (CP932, relative to the current directory or absolute) to
// POSIX path (UTF-8). Existing components are found case-insensitively
// (exact match first); components that do not exist are converted as they
// are. False when the drive is not mapped or a name cannot be converted.
VXPOSIX bool ToPosixPath(const std::string& winPath, std::string& posixPath);
// POSIX path (UTF-8, absolute or relative to the process's directory) to an
// absolute Windows path (CP932) on the drive with the longest matching root.
VXPOSIX bool ToWinPath(const std::string& posixPath, std::string& winPath);

// SetForegroundWindow succeeds on POSIX and is recorded here, oldest first.
VXPOSIX std::vector<HWND> ForegroundLog();
VXPOSIX void ClearForegroundLog();

}  // namespace vxposix
