#include "common/DosTime.h"

#include <algorithm>

namespace arc {

void ToDosTime(std::time_t t, uint16_t& time, uint16_t& date) {
  struct tm tm {};
  localtime_r(&t, &tm);
  if (tm.tm_year < 80) {
    date = (1 << 5) | 1;
    time = 0;
    return;
  }
  date = static_cast<uint16_t>(std::min(tm.tm_year - 80, 127) << 9 | (tm.tm_mon + 1) << 5 | tm.tm_mday);
  time = static_cast<uint16_t>(tm.tm_hour << 11 | tm.tm_min << 5 | tm.tm_sec / 2);
}

bool IsAscii(const std::string& name) {
  return std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace arc
