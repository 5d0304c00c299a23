#include "plugin/IniFile.h"

#include <cstdint>
#include <vector>

#include "platform/win32api.h"

namespace vx {

namespace {

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

}  // namespace

bool ParseIniInteger(const std::string& Text, int& Value) {
  std::size_t i = 0;
  while (i < Text.size() && Text[i] == ' ') ++i;
  bool negative = false;
  if (i < Text.size() && (Text[i] == '-' || Text[i] == '+')) negative = Text[i++] == '-';
  int base = 10;
  if (Text.compare(i, 1, "$") == 0) {
    base = 16;
    i += 1;
  } else if (Text.compare(i, 2, "0x") == 0 || Text.compare(i, 2, "0X") == 0) {
    base = 16;
    i += 2;
  }
  if (i >= Text.size()) return false;
  // Hexadecimal text covers all 32 bits; decimal text the signed range.
  const std::uint64_t limit = base == 16 ? 0xFFFFFFFFull : negative ? 0x80000000ull : 0x7FFFFFFFull;
  std::uint64_t value = 0;
  for (; i < Text.size(); ++i) {
    const int d = DigitValue(Text[i]);
    if (d >= base) return false;
    value = value * static_cast<unsigned>(base) + static_cast<unsigned>(d);
    if (value > limit) return false;
  }
  const std::uint32_t bits = static_cast<std::uint32_t>(negative ? 0 - value : value);
  Value = static_cast<int>(static_cast<std::int32_t>(bits));
  return true;
}

int TIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) const {
  std::vector<char> buffer(2048, '\0');
  const DWORD n = GetPrivateProfileStringA(Section.c_str(), Ident.c_str(), "", buffer.data(),
                                           static_cast<DWORD>(buffer.size()), FFileName.c_str());
  int value = 0;
  return ParseIniInteger(std::string(buffer.data(), n), value) ? value : Default;
}

bool TIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) const {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value) const {
  WriteString(Section, Ident, std::to_string(Value));
}

void TIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) const {
  WriteString(Section, Ident, Value ? "1" : "0");
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) const {
  if (!WritePrivateProfileStringA(Section.c_str(), Ident.c_str(), Value.c_str(), FFileName.c_str()))
    throw EIniFileException("設定ファイルに書き込めませんでした。\r\n" + FFileName);
}

}  // namespace vx
