#include "unrar32/RarHeaders.h"

#include <cstring>
#include <fstream>

namespace unrar32 {

std::vector<uint32_t> Rar4FileCrcs(const std::string& posixPath) {
  std::ifstream in(posixPath, std::ios::binary);
  char marker[7];
  if (!in.read(marker, 7) || std::memcmp(marker, "Rar!\x1a\x07\x00", 7) != 0) return {};
  std::vector<uint32_t> crcs;
  uint64_t at = 7;
  for (;;) {
    unsigned char h[20] = {};
    in.seekg(static_cast<std::streamoff>(at));
    if (!in.read(reinterpret_cast<char*>(h), 7)) break;
    const unsigned type = h[2], flags = h[3] | (h[4] << 8), size = h[5] | (h[6] << 8);
    if (size < 7) break;
    uint64_t add = 0;
    if (flags & 0x8000) {
      if (!in.read(reinterpret_cast<char*>(h + 7), 13)) break;
      add = h[7] | (h[8] << 8) | (h[9] << 16) | (uint64_t{h[10]} << 24);
      if (type == 0x74) crcs.push_back(h[16] | (h[17] << 8) | (h[18] << 16) | (uint32_t{h[19]} << 24));
    }
    if (type == 0x7B) break;
    at += size + add;
  }
  return crcs;
}

}  // namespace unrar32
