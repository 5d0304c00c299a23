#include "forms/ArchiveName.h"

#include "archives/MbcsText.h"
#include "platform/win32api.h"

namespace vx {

namespace {

const char kNoName[] = "ファイル名がありません。";
const char kBadEnd[] = "ファイル名の最後にピリオドや空白は使えません。";
const char kBadCharacter[] = "ファイル名に次の文字は使えません: \" * ? < > | と制御文字";
const char kDeviceName[] =
    "CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9 は Windows が装置に使う名前なので使えません。";

bool IsBlankOrDot(char ch) { return ch == ' ' || ch == '.'; }

// Windows opens a device for these base names, whatever extension follows.
bool IsDeviceName(const std::string& Name) {
  std::string base = Name.substr(0, Name.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (const char* device : {"CON", "PRN", "AUX", "NUL"})
    if (CompareText(base, device) == 0) return true;
  if (base.size() != 4 || base[3] < '1' || base[3] > '9') return false;
  const std::string stem = base.substr(0, 3);
  return CompareText(stem, "COM") == 0 || CompareText(stem, "LPT") == 0;
}

// A character no Windows file name holds; trail bytes of double-byte
// characters (which may be 0x7C, the bar) are skipped.
bool HasBadCharacter(const std::string& Name) {
  for (std::string::size_type i = 0; i < Name.size(); ++i) {
    const auto ch = static_cast<unsigned char>(Name[i]);
    if (i + 1 < Name.size() && IsDBCSLeadByte(ch)) {
      ++i;
      continue;
    }
    if (ch < 0x20 || ch == 0x7F) return true;
    for (const char bad : std::string("\"*?<>|"))
      if (ch == static_cast<unsigned char>(bad)) return true;
  }
  return false;
}

}  // namespace

std::string ArchiveNameFault(const std::string& Name) {
  bool onlyBlanksAndDots = true;
  for (const char ch : Name) onlyBlanksAndDots = onlyBlanksAndDots && IsBlankOrDot(ch);
  if (onlyBlanksAndDots) return kNoName;
  if (HasBadCharacter(Name)) return kBadCharacter;
  if (IsBlankOrDot(Name.back())) return kBadEnd;
  if (IsDeviceName(Name)) return kDeviceName;
  return std::string();
}

}  // namespace vx
