#include "crc16.h"

#include <array>

namespace lha {

namespace {

// Slicing by two tables: the second advances a byte that has already passed
// the first, so the main loop takes two bytes per step.
struct Tables {
  std::array<uint16_t, 256> t0{};
  std::array<uint16_t, 256> t1{};
  constexpr Tables() {
    for (unsigned i = 0; i < 256; ++i) {
      unsigned c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xA001u : c >> 1;
      t0[i] = static_cast<uint16_t>(c);
    }
    for (unsigned i = 0; i < 256; ++i) {
      t1[i] = static_cast<uint16_t>((t0[i] >> 8) ^ t0[t0[i] & 0xFF]);
    }
  }
};

constexpr Tables kTables;

}  // namespace

uint16_t Crc16Update(uint16_t crc, const void* data, size_t size) {
  const auto* p = static_cast<const uint8_t*>(data);
  unsigned c = crc;
  for (; size >= 2; size -= 2, p += 2) {
    c ^= p[0] | (p[1] << 8);
    c = kTables.t1[c & 0xFF] ^ kTables.t0[c >> 8];
  }
  if (size) c = (c >> 8) ^ kTables.t0[(c ^ *p) & 0xFF];
  return static_cast<uint16_t>(c);
}

}  // namespace lha
