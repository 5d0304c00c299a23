#include "common/Report.h"

#include <cstdio>
#include <cstring>

#include "common/Cp932.h"

namespace arc {

namespace {

std::string Ratio(uint64_t original, uint64_t packed) {
  char buf[32];
  if (original == 0)
    std::snprintf(buf, sizeof buf, "%6s", "---");
  else
    std::snprintf(buf, sizeof buf, "%5.1f%%", 100.0 * static_cast<double>(packed) / static_cast<double>(original));
  return buf;
}

}  // namespace

void Report::Member(const std::string& nameCp932, uint64_t original, uint64_t packed, const std::string& note) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "%12llu %12llu %s  ", static_cast<unsigned long long>(original),
                static_cast<unsigned long long>(packed), Ratio(original, packed).c_str());
  Line(buf + nameCp932 + (note.empty() ? "" : "  " + note));
}

void Report::Totals(uint64_t members, uint64_t original, uint64_t packed) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "%12llu %12llu %s  %llu file(s)", static_cast<unsigned long long>(original),
                static_cast<unsigned long long>(packed), Ratio(original, packed).c_str(),
                static_cast<unsigned long long>(members));
  Line("------------ ------------ ------  ----------");
  Line(buf);
}

void Report::CopyTo(LPSTR buffer, DWORD size) const {
  if (buffer == nullptr || size == 0) return;
  const size_t n = SafeCut(text_, size - 1);
  std::memcpy(buffer, text_.data(), n);
  buffer[n] = '\0';
}

}  // namespace arc
