#include "common/EntryInfo.h"

#include <algorithm>
#include <cstring>

#include "common/Cp932.h"

namespace arc {

namespace {

template <size_t N>
void CopyText(char (&dest)[N], const std::string& text) {
  const size_t n = SafeCut(text, N - 1);
  std::memcpy(dest, text.data(), n);
  dest[n] = '\0';
}

DWORD Clamp32(uint64_t v) { return v > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(v); }

}  // namespace

void DosDateTime(time_t t, WORD& date, WORD& time) {
  struct tm tm {};
  localtime_r(&t, &tm);
  int year = tm.tm_year + 1900;
  if (year < 1980) {
    date = (0 << 9) | (1 << 5) | 1;
    time = 0;
    return;
  }
  year = std::min(year, 2107);
  date = static_cast<WORD>(((year - 1980) << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday);
  time = static_cast<WORD>((tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2));
}

std::string AttributeText(const EntryInfo& e) {
  std::string s;
  if (e.directory || (e.attributes & FILE_ATTRIBUTE_DIRECTORY)) s += 'd';
  s += (e.attributes & FILE_ATTRIBUTE_READONLY) ? 'r' : '-';
  s += (e.attributes & FILE_ATTRIBUTE_HIDDEN) ? 'h' : '-';
  s += (e.attributes & FILE_ATTRIBUTE_SYSTEM) ? 's' : '-';
  s += (e.attributes & FILE_ATTRIBUTE_ARCHIVE) ? 'a' : '-';
  return s;
}

WORD RatioPerMille(uint64_t original, uint64_t packed) {
  if (original == 0) return 0;
  const uint64_t r = packed * 1000 / original;
  return static_cast<WORD>(std::min<uint64_t>(r, 0xFFFF));
}

void FillIndividualInfo(const EntryInfo& e, INDIVIDUALINFO& info) {
  std::memset(&info, 0, sizeof info);
  info.dwOriginalSize = Clamp32(e.original);
  info.dwCompressedSize = Clamp32(e.packed);
  info.dwCRC = e.crc;
  info.uOSType = e.osType;
  info.wRatio = RatioPerMille(e.original, e.packed);
  DosDateTime(e.mtime, info.wDate, info.wTime);
  CopyText(info.szFileName, e.name);
  CopyText(info.szAttribute, AttributeText(e));
  CopyText(info.szMode, e.method);
}

}  // namespace arc
