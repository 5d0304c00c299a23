// The 512-byte blocks of a tar archive: the numeric fields of a header
// (octal, or base-256 for large values), its checksum, padded data sizes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tar32 {

constexpr size_t kTarBlock = 512;

inline uint64_t TarNumber(const char* field, size_t size) {
  if ((static_cast<unsigned char>(field[0]) & 0x80) != 0) {  // base-256
    uint64_t v = 0;
    for (size_t i = 1; i < size; ++i) v = (v << 8) | static_cast<unsigned char>(field[i]);
    return v;
  }
  uint64_t v = 0;
  size_t i = 0;
  while (i < size && field[i] == ' ') ++i;
  for (; i < size && field[i] >= '0' && field[i] <= '7'; ++i) v = v * 8 + static_cast<uint64_t>(field[i] - '0');
  return v;
}

// Whether the header's checksum field fits its bytes (the field counted as blanks).
inline bool TarChecksumFits(const char* header) {
  uint64_t sum = 0;
  for (size_t i = 0; i < kTarBlock; ++i) sum += i >= 148 && i < 156 ? ' ' : static_cast<unsigned char>(header[i]);
  return TarNumber(header + 148, 8) == sum;
}

inline uint64_t TarPadded(uint64_t size) { return (size + kTarBlock - 1) / kTarBlock * kTarBlock; }

}  // namespace tar32
