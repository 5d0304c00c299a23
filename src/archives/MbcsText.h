// Code page 932 text helpers: a double-byte character's trail byte may be
// 0x5C, the backslash, so path text is always scanned character by character.
#pragma once

#include <string>

namespace vx {

// Byte offset of the last whole character of S, or npos when S is empty.
std::string::size_type LastCharOffset(const std::string& S);

// True when the last whole character of S is a backslash.
bool EndsWithPathDelimiter(const std::string& S);

// Byte offset of the last single-byte character of S that is one of
// Delimiters (never a trail byte), or npos.
std::string::size_type LastDelimiter(const std::string& Delimiters, const std::string& S);

// ASCII-case-insensitive comparison of code page 932 text: letters inside
// double-byte characters are left alone. <0, 0 or >0.
int CompareText(const std::string& A, const std::string& B);

}  // namespace vx
