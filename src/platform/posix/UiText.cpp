// Text at the boundary between the terminal (UTF-8) and the module (code
// page 932): best-fit conversion, display and the splitting of typed lines.
#include <string>
#include <vector>

#include "platform/posix/vxui.h"

namespace vxui {
namespace {

// Length of the UTF-8 sequence that starts with c; 0 for a byte that
// cannot start one.
std::size_t SequenceLength(unsigned char c) {
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) return 2;
  if (c >= 0xE0 && c <= 0xEF) return 3;
  if (c >= 0xF0 && c <= 0xF4) return 4;
  return 0;
}

// The UTF-8 text with every character that code page 932 lacks (and every
// malformed byte) replaced by "?".
std::string Representable(const std::string& utf8) {
  std::string sjis;
  if (vxposix::Utf8ToCp932(utf8, sjis)) return utf8;
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    std::size_t n = SequenceLength(static_cast<unsigned char>(utf8[i]));
    if (n == 0 || i + n > utf8.size()) {
      out += '?';
      ++i;
      continue;
    }
    const std::string one = utf8.substr(i, n);
    out += vxposix::Utf8ToCp932(one, sjis) ? one : std::string("?");
    i += n;
  }
  return out;
}

}  // namespace

std::string Cp932BestFit(const std::string& utf8) {
  std::string sjis;
  vxposix::Utf8ToCp932(Representable(utf8), sjis);
  return sjis;
}

std::string WinPathBestFit(const std::string& posixPath) {
  std::string win;
  if (!vxposix::ToWinPath(Representable(posixPath), win)) return std::string();
  return win;
}

std::string ToTerminal(const std::string& cp932) {
  std::string utf8;
  if (vxposix::Cp932ToUtf8(cp932, utf8)) return utf8;
  std::string out;
  for (std::size_t i = 0; i < cp932.size();) {
    const unsigned char c = static_cast<unsigned char>(cp932[i]);
    const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    const std::size_t n = lead && i + 1 < cp932.size() ? 2 : 1;
    out += vxposix::Cp932ToUtf8(cp932.substr(i, n), utf8) ? utf8 : std::string("?");
    i += n;
  }
  return out;
}

std::vector<std::string> SplitWords(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  char quote = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quote == '\'') {
      if (c == '\'') quote = 0;
      else word += c;
    } else if (c == '\\' && i + 1 < line.size()) {
      word += line[++i];
      inWord = true;
    } else if (quote == '"') {
      if (c == '"') quote = 0;
      else word += c;
    } else if (c == '"' || c == '\'') {
      quote = c;
      inWord = true;
    } else if (c == ' ' || c == '\t') {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

}  // namespace vxui
