// Appending little-endian fields to a header being built, as ZIP, cabinet
// and gzip headers keep their numbers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace arc {

class LeBytes {
 public:
  explicit LeBytes(std::vector<uint8_t>& out) : out_(out) {}
  LeBytes& U8(uint32_t v) {
    out_.push_back(static_cast<uint8_t>(v));
    return *this;
  }
  LeBytes& U16(uint32_t v) { return U8(v).U8(v >> 8); }
  LeBytes& U32(uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
  LeBytes& U64(uint64_t v) { return U32(static_cast<uint32_t>(v)).U32(static_cast<uint32_t>(v >> 32)); }
  LeBytes& Text(const std::string& s) {
    out_.insert(out_.end(), s.begin(), s.end());
    return *this;
  }

 private:
  std::vector<uint8_t>& out_;
};

}  // namespace arc
