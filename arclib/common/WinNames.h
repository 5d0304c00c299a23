// Windows names (code page 932, as the command line carries them) and the
// POSIX files behind them, through the platform layer.
#pragma once

#include <string>

namespace arc {

// POSIX path (UTF-8) of a Windows path; false when its drive is unmapped or
// a name cannot be converted.
bool PosixPathOf(const std::string& winPath, std::string& posixPath);
// As PosixPathOf, but throws Failure(code) naming the file.
std::string PosixPathOrFail(const std::string& winPath, int code);
// Absolute, normalised Windows path; the input unchanged when it cannot.
std::string FullWinPath(const std::string& winPath);
// The Windows path without "X:" and leading separators.
std::string WithoutDrive(const std::string& winPath);

// Conversions of names; false when a character has no counterpart.
bool ToUtf8(const std::string& cp932, std::string& utf8);
bool ToCp932(const std::string& utf8, std::string& cp932);
// A name of an archive that may be UTF-8 or code page 932 (formats whose
// Unicode mark some writers leave out): kept when it reads as UTF-8, else
// converted from code page 932, else kept as it is.
std::string GuessNameToUtf8(const std::string& raw);
bool IsUtf8(const std::string& text);
// For reports: the conversion, or the bytes with unconvertible ones as '?'.
std::string Cp932ForReport(const std::string& utf8);

}  // namespace arc
