#include "common/Locale.h"

namespace arc {

namespace {

locale_t Utf8() {
  static const locale_t utf8 = [] {
    locale_t l = newlocale(LC_ALL_MASK, "C.UTF-8", nullptr);
    return l != nullptr ? l : newlocale(LC_ALL_MASK, "C.utf8", nullptr);
  }();
  return utf8;
}

}  // namespace

Utf8Locale::Utf8Locale() {
  if (Utf8() != nullptr) previous_ = uselocale(Utf8());
}

Utf8Locale::~Utf8Locale() {
  if (previous_ != nullptr) uselocale(previous_);
}

}  // namespace arc
