// Tests compare the module's code page 932 bytes with an independent
// conversion of the UTF-8 text written in the test.
#pragma once

#include <string>

namespace vxtest {

// UTF-8 to code page 932 through iconv; aborts the test program on failure.
std::string Sjis(const std::string& utf8);
// Code page 932 to UTF-8 through iconv, for readable failure messages.
std::string Utf8(const std::string& cp932);

}  // namespace vxtest
