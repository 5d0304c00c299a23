#include "common/Cp932.h"

namespace arc {

namespace {

// Calls fn(offset, length) for each character.
template <typename Fn>
void ForEachChar(const std::string& text, Fn fn) {
  for (size_t i = 0; i < text.size();) {
    const size_t n = IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    fn(i, n);
    i += n;
  }
}

std::string ReplaceSeparators(const std::string& text, char from, char to) {
  std::string out = text;
  ForEachChar(text, [&](size_t i, size_t n) {
    if (n == 1 && out[i] == from) out[i] = to;
  });
  return out;
}

}  // namespace

bool EndsWithSeparator(const std::string& text) {
  bool last = false;
  ForEachChar(text, [&](size_t i, size_t n) { last = n == 1 && (text[i] == '\\' || text[i] == '/'); });
  return last;
}

std::vector<std::string> SplitPath(const std::string& text) {
  std::vector<std::string> parts(1);
  ForEachChar(text, [&](size_t i, size_t n) {
    if (n == 1 && (text[i] == '\\' || text[i] == '/'))
      parts.emplace_back();
    else
      parts.back().append(text, i, n);
  });
  return parts;
}

std::string WithSlashes(const std::string& text) { return ReplaceSeparators(text, '\\', '/'); }
std::string WithBackslashes(const std::string& text) { return ReplaceSeparators(text, '/', '\\'); }

std::string UpperAscii(const std::string& text) {
  std::string out = text;
  ForEachChar(text, [&](size_t i, size_t n) {
    if (n == 1 && out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - 'a' + 'A');
  });
  return out;
}

size_t SafeCut(const std::string& text, size_t limit) {
  size_t cut = 0;
  ForEachChar(text, [&](size_t i, size_t n) {
    if (i + n <= limit) cut = i + n;
  });
  return cut;
}

}  // namespace arc
