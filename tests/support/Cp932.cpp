#include "support/Cp932.h"

#include <iconv.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

namespace vxtest {

namespace {

std::string Convert(const char* to, const char* from, const std::string& in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  std::string out(in.size() * 4 + 4, '\0');
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  if (rc == static_cast<size_t>(-1)) throw std::runtime_error("iconv could not convert: " + in);
  out.resize(out.size() - dstLeft);
  return out;
}

}  // namespace

std::string Sjis(const std::string& utf8) { return Convert("CP932", "UTF-8", utf8); }

std::string Utf8(const std::string& cp932) { return Convert("UTF-8", "CP932", cp932); }

}  // namespace vxtest
