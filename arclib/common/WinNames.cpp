#include "common/WinNames.h"

#include "archives/ArchiverDll.h"
#include "common/Cp932.h"
#include "common/Failure.h"
#include "platform/posix/vxposix.h"
#include "platform/win32api.h"

namespace arc {

bool PosixPathOf(const std::string& winPath, std::string& posixPath) {
  if (winPath.empty()) return false;
  return vxposix::ToPosixPath(WithBackslashes(winPath), posixPath);
}

std::string PosixPathOrFail(const std::string& winPath, int code) {
  std::string posix;
  if (!PosixPathOf(winPath, posix)) throw Failure(code, "cannot reach the file " + winPath);
  return posix;
}

std::string FullWinPath(const std::string& winPath) {
  const std::string path = WithBackslashes(winPath);
  char buffer[4096];
  const DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
  if (n == 0 || n >= sizeof buffer) return path;
  return std::string(buffer, n);
}

std::string WithoutDrive(const std::string& winPath) {
  size_t i = 0;
  if (winPath.size() >= 2 && winPath[1] == ':' && !IsLeadByte(static_cast<unsigned char>(winPath[0]))) i = 2;
  while (i < winPath.size() && (winPath[i] == '\\' || winPath[i] == '/')) ++i;
  return winPath.substr(i);
}

bool ToUtf8(const std::string& cp932, std::string& utf8) { return vxposix::Cp932ToUtf8(cp932, utf8); }
bool ToCp932(const std::string& utf8, std::string& cp932) { return vxposix::Utf8ToCp932(utf8, cp932); }

bool IsUtf8(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || (n == 2 && c < 0xC2) || i + n > text.size()) return false;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

std::string GuessNameToUtf8(const std::string& raw) {
  if (IsUtf8(raw)) return raw;
  std::string utf8;
  return ToUtf8(raw, utf8) ? utf8 : raw;
}

std::string Cp932ForReport(const std::string& utf8) {
  std::string out;
  if (ToCp932(utf8, out)) return out;
  out.clear();
  for (unsigned char c : utf8) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

}  // namespace arc
