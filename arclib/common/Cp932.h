// Code page 932 byte strings: lead bytes, separators and case, so that the
// 0x5C trail byte of a double-byte character is never taken for a backslash.
#pragma once

#include <string>
#include <vector>

namespace arc {

inline bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Whether the last character is a backslash or a slash.
bool EndsWithSeparator(const std::string& text);
// Splits at backslashes and slashes; empty parts are kept.
std::vector<std::string> SplitPath(const std::string& text);
// Every backslash made a slash (or the other way round), trail bytes untouched.
std::string WithSlashes(const std::string& text);
std::string WithBackslashes(const std::string& text);
// Upper-cases ASCII letters only.
std::string UpperAscii(const std::string& text);
// The byte count of the longest prefix of at most `limit` bytes that does not
// split a double-byte character.
size_t SafeCut(const std::string& text, size_t limit);

}  // namespace arc
