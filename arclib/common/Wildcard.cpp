#include "common/Wildcard.h"

#include <vector>

#include "common/Cp932.h"

namespace arc {

namespace {

std::vector<std::string> Chars(const std::string& text) {
  std::vector<std::string> out;
  for (size_t i = 0; i < text.size();) {
    const size_t n = IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    out.push_back(text.substr(i, n));
    i += n;
  }
  return out;
}

bool SameChar(const std::string& a, const std::string& b) {
  return a.size() == b.size() && UpperAscii(a) == UpperAscii(b);
}

// Parses a class starting at pattern[p] == "["; returns the index after "]",
// or 0 when the class is not closed (then '[' is literal).
size_t ClassEnd(const std::vector<std::string>& pattern, size_t p) {
  for (size_t i = p + 2; i < pattern.size(); ++i)
    if (pattern[i] == "]") return i + 1;
  return 0;
}

bool ClassHas(const std::vector<std::string>& pattern, size_t p, size_t end, const std::string& c) {
  for (size_t i = p + 1; i + 1 < end; ++i)
    if (SameChar(pattern[i], c)) return true;
  return false;
}

bool Match(const std::vector<std::string>& pat, size_t p, const std::vector<std::string>& name, size_t n,
           bool classes) {
  // Iterative with one backtrack point for '*', which keeps this linear-ish.
  size_t starP = std::string::npos, starN = 0;
  while (n < name.size()) {
    if (p < pat.size() && pat[p] == "*") {
      starP = ++p;
      starN = n;
      continue;
    }
    if (p < pat.size()) {
      if (pat[p] == "?") {
        ++p;
        ++n;
        continue;
      }
      if (classes && pat[p] == "[") {
        const size_t end = ClassEnd(pat, p);
        if (end != 0) {
          if (ClassHas(pat, p, end, name[n])) {
            p = end;
            ++n;
            continue;
          }
        } else if (SameChar(pat[p], name[n])) {
          ++p;
          ++n;
          continue;
        }
      } else if (SameChar(pat[p], name[n])) {
        ++p;
        ++n;
        continue;
      }
    }
    if (starP == std::string::npos) return false;
    p = starP;
    n = ++starN;
  }
  while (p < pat.size() && pat[p] == "*") ++p;
  return p == pat.size();
}

}  // namespace

bool HasWildcards(const std::string& pattern, bool classes) {
  for (const std::string& c : Chars(pattern))
    if (c == "*" || c == "?" || (classes && c == "[")) return true;
  return false;
}

bool MatchWildcard(const std::string& pattern, const std::string& name, bool classes) {
  // "*.*" is the DOS spelling of everything, names without a dot included.
  if (pattern == "*.*" || pattern == "*") return true;
  return Match(Chars(pattern), 0, Chars(name), 0, classes);
}

std::string UnescapeClasses(const std::string& pattern) {
  const std::vector<std::string> chars = Chars(pattern);
  std::string out;
  for (size_t i = 0; i < chars.size(); ++i) {
    if (chars[i] == "[" && i + 2 < chars.size() && chars[i + 2] == "]") {
      out += chars[i + 1];
      i += 2;
    } else {
      out += chars[i];
    }
  }
  return out;
}

}  // namespace arc
