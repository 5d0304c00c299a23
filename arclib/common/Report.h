// The text a library leaves in the caller's output buffer: code page 932
// lines with CR LF, cut safely at the buffer's size and always terminated.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32api.h"

namespace arc {

class Report {
 public:
  void Line(const std::string& text) { text_ += text + "\r\n"; }
  // "  original  packed  ratio%  name" for one member.
  void Member(const std::string& nameCp932, uint64_t original, uint64_t packed, const std::string& note = {});
  // The totals line after the members.
  void Totals(uint64_t members, uint64_t original, uint64_t packed);
  const std::string& Text() const { return text_; }
  // Copies into buffer (nothing when it is null or size is 0).
  void CopyTo(LPSTR buffer, DWORD size) const;

 private:
  std::string text_;
};

}  // namespace arc
