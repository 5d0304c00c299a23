// Wildcard matching on any pattern and name (split at the first NUL), with
// and without classes.
#include <string>

#include "common/Wildcard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string::size_type cut = text.find('\0');
  const std::string pattern = text.substr(0, cut);
  const std::string name = cut == std::string::npos ? std::string() : text.substr(cut + 1);
  for (bool classes : {false, true}) {
    arc::HasWildcards(pattern, classes);
    arc::MatchWildcard(pattern, name, classes);
  }
  arc::UnescapeClasses(pattern);
  return 0;
}
