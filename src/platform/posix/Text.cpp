// Code page 932 text services and the conversions to and from UTF-8.
#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/Internal.h"
#include "platform/posix/vxposix.h"

namespace {

bool IsAscii(const std::string& s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

// One conversion descriptor per direction and thread, opened on first use:
// opening one costs far more than a short conversion.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd != reinterpret_cast<iconv_t>(-1); }

  // False on any byte sequence that has no counterpart.
  bool Run(const std::string& in, std::string& out) {
    if (!ok()) return false;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    std::string result(in.size() * 4 + 4, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = result.data();
    size_t dstLeft = result.size();
    const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    if (rc == static_cast<size_t>(-1) || srcLeft != 0) return false;
    result.resize(result.size() - dstLeft);
    out = std::move(result);
    return true;
  }

 private:
  iconv_t cd;
};

inline unsigned char Fold(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

}  // namespace

namespace vxposix {

// ASCII is the same in both and needs no conversion.
bool Cp932ToUtf8(const std::string& in, std::string& out) {
  if (IsAscii(in)) {
    out = in;
    return true;
  }
  thread_local Converter converter("UTF-8", "CP932");
  return converter.Run(in, out);
}

bool Utf8ToCp932(const std::string& in, std::string& out) {
  if (IsAscii(in)) {
    out = in;
    return true;
  }
  thread_local Converter converter("CP932", "UTF-8");
  return converter.Run(in, out);
}

namespace detail {

int CompareNoCase(const char* a, const char* b) {
  auto pa = reinterpret_cast<const unsigned char*>(a);
  auto pb = reinterpret_cast<const unsigned char*>(b);
  for (;;) {
    const unsigned char ca = *pa, cb = *pb;
    if (ca == 0 || cb == 0) return static_cast<int>(ca) - static_cast<int>(cb);
    if (IsLead(ca) && pa[1] != 0) {
      // A double-byte character compares as its two bytes, unfolded.
      if (ca != cb) return static_cast<int>(ca) - static_cast<int>(cb);
      if (pa[1] != pb[1]) return static_cast<int>(pa[1]) - static_cast<int>(pb[1]);
      pa += 2;
      pb += 2;
      continue;
    }
    const unsigned char fa = Fold(ca), fb = Fold(cb);
    if (fa != fb) return static_cast<int>(fa) - static_cast<int>(fb);
    ++pa;
    ++pb;
  }
}

bool EndsWithSeparator(const std::string& path) {
  size_t last = std::string::npos;
  for (size_t i = 0; i < path.size(); i += (IsLead(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) ? 2 : 1)
    last = i;
  return last != std::string::npos && (path[last] == '\\' || path[last] == '/');
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && CompareNoCase(a.c_str(), b.c_str()) == 0;
}

}  // namespace detail
}  // namespace vxposix

using vxposix::detail::IsLead;

VXAPI BOOL WINAPI IsDBCSLeadByte(BYTE TestChar) { return IsLead(TestChar) ? TRUE : FALSE; }

VXAPI LPSTR WINAPI CharNextA(LPCSTR lpsz) {
  if (lpsz == nullptr || *lpsz == '\0') return const_cast<LPSTR>(lpsz);
  if (IsLead(static_cast<unsigned char>(*lpsz)) && lpsz[1] != '\0') return const_cast<LPSTR>(lpsz + 2);
  return const_cast<LPSTR>(lpsz + 1);
}

VXAPI LPSTR WINAPI CharPrevA(LPCSTR lpszStart, LPCSTR lpszCurrent) {
  if (lpszStart == nullptr || lpszCurrent <= lpszStart) return const_cast<LPSTR>(lpszStart);
  LPCSTR p = lpszStart;
  for (;;) {
    LPCSTR next = CharNextA(p);
    if (next >= lpszCurrent || next == p) return const_cast<LPSTR>(p);
    p = next;
  }
}

VXAPI int WINAPI lstrcmpiA(LPCSTR lpString1, LPCSTR lpString2) {
  const int r = vxposix::detail::CompareNoCase(lpString1 ? lpString1 : "", lpString2 ? lpString2 : "");
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}
