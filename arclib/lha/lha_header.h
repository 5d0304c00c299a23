// Member header details shared by the writer and the reader.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lha::detail {

// Code page 932 double-byte characters: a lead byte and a trail byte.
inline bool IsLeadByte(uint8_t c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
inline bool IsTrailByte(uint8_t c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// Splits a code page 932 path at '\\' and '/', never at the second byte of
// a double-byte character. False for an empty path, an empty component
// (which includes a leading separator), or a "." or ".." component.
bool SplitPath(const std::string& name, std::vector<std::string>* parts);

// Fields of a level-2 header.
struct Level2Fields {
  std::vector<std::string> parts;  // path components; the last is the file name
  bool directory = false;
  char method[6] = "-lh0-";
  uint64_t compressedSize = 0;
  uint64_t originalSize = 0;
  uint32_t unixTime = 0;
  uint16_t crc16 = 0;
  uint8_t dosAttributes = 0x20;
  char osId = 'M';
  // With extended header 0x42 (64-bit sizes); the 32-bit fields then hold
  // the sizes' low 32 bits. Without it sizes must fit 32 bits.
  bool sizes64 = false;
};

// The header bytes, with its header CRC; empty when the names do not fit
// or the sizes need 64 bits without `sizes64`. Its length depends only on
// the path and `sizes64`, so a header written before the data can be
// overwritten in place once sizes and CRC are known.
std::vector<uint8_t> BuildLevel2Header(const Level2Fields& f);

inline uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t Get32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void Put32(uint8_t* p, uint32_t v) {
  Put16(p, v);
  Put16(p + 2, v >> 16);
}

}  // namespace lha::detail
