// Wildcards of file names as the archivers take them: '*' any run of
// characters, '?' one character, case-insensitive for ASCII, double-byte
// characters matched whole. With classes on, "[abc]" matches one of the
// listed characters, so "[[]" stands for a literal '['.
#pragma once

#include <string>

namespace arc {

bool HasWildcards(const std::string& pattern, bool classes = false);
bool MatchWildcard(const std::string& pattern, const std::string& name, bool classes = false);
// A pattern whose classes each hold one character made literal ("[[]" -> "[").
std::string UnescapeClasses(const std::string& pattern);

}  // namespace arc
