// PNG files of screen pictures (8-bit RGB, stored without compression:
// no zlib needed, and the pictures are small).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wintest {

// Rgb holds Height rows of Width pixels, top row first, 3 bytes (R, G, B)
// a pixel. False when the file cannot be written.
bool WritePng(const std::string& Path, int Width, int Height, const std::vector<uint8_t>& Rgb);

}  // namespace wintest
