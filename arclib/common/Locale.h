// libarchive converts names through the thread's locale; inside our
// libraries that locale is UTF-8, whatever the host program set.
#pragma once

#include <locale.h>

namespace arc {

class Utf8Locale {
 public:
  Utf8Locale();
  ~Utf8Locale();
  Utf8Locale(const Utf8Locale&) = delete;
  Utf8Locale& operator=(const Utf8Locale&) = delete;

 private:
  locale_t previous_ = nullptr;
};

}  // namespace arc
