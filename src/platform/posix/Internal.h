// Shared pieces of the POSIX Windows personality. Private to src/platform/posix.
#pragma once

#include <string>
#include <vector>

#include "platform/win32api.h"

struct stat;

namespace vxposix::detail {

// Windows attributes of a file: directory; read-only without the owner's
// write permission; hidden for a name beginning with "."; archive for every
// regular file. Name is the last component (UTF-8).
DWORD AttributesOf(const std::string& name, const struct stat& st);

// errno of the failed POSIX call to the nearest Win32 error code.
DWORD ErrnoToWin32(int err);
// SetLastError(ErrnoToWin32(errno)).
void SetLastErrorFromErrno();

// Code page 932 case folding: ASCII letters only, trail bytes untouched.
bool EqualsNoCase(const std::string& a, const std::string& b);
int CompareNoCase(const char* a, const char* b);
inline bool IsLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
// True when the last character is a backslash or slash (not the 0x5C trail
// byte of a double-byte character).
bool EndsWithSeparator(const std::string& path);

// Absolute, normalised Windows path ("C:\a\b"), resolving relative and
// drive-relative forms against the current directory. False for a form
// we do not know (UNC names).
bool FullWinPath(const std::string& path, std::string& full);

// Windows path to POSIX path of an existing or new file; sets the last
// error and reports the name on standard error when it cannot.
bool ResolvePath(const char* winPath, std::string& posixPath);

// Copies text into a caller's buffer the Win32 way: the length without the
// terminator when it fits, else the size needed including the terminator.
DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size);

// Says on standard error that a name could not be converted.
void ReportUnconvertible(const char* direction, const std::string& name);

// Directory entries (UTF-8 names), without "." and "..". False when the
// directory cannot be read.
bool ListDirectory(const std::string& posixDir, std::vector<std::string>& names);

// The main program's POSIX path.
std::string ExecutablePath();

}  // namespace vxposix::detail
