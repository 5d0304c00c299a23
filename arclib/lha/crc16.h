// The CRC-16 of LHA archives: polynomial 0x8005 in reflected form (0xA001),
// initial value 0, no final inversion. Covers member data and, in level-2
// headers, the header itself.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lha {

// Continues a CRC over `size` more bytes; start with crc = 0.
uint16_t Crc16Update(uint16_t crc, const void* data, size_t size);

inline uint16_t Crc16(const void* data, size_t size) { return Crc16Update(0, data, size); }

}  // namespace lha
