#include "Png.h"

#include <cstdio>
#include <memory>

namespace wintest {

namespace {

uint32_t Crc32(const uint8_t* Data, std::size_t Size, uint32_t Crc = 0) {
  static uint32_t table[256];
  static const bool ready = [] {
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
    return true;
  }();
  (void)ready;
  Crc = ~Crc;
  for (std::size_t i = 0; i < Size; ++i) Crc = table[(Crc ^ Data[i]) & 0xFF] ^ (Crc >> 8);
  return ~Crc;
}

void Put32(std::vector<uint8_t>& Out, uint32_t Value) {
  for (int shift = 24; shift >= 0; shift -= 8) Out.push_back(static_cast<uint8_t>(Value >> shift));
}

void Chunk(std::vector<uint8_t>& Out, const char* Type, const std::vector<uint8_t>& Data) {
  Put32(Out, static_cast<uint32_t>(Data.size()));
  std::vector<uint8_t> body(Type, Type + 4);
  body.insert(body.end(), Data.begin(), Data.end());
  Out.insert(Out.end(), body.begin(), body.end());
  Put32(Out, Crc32(body.data(), body.size()));
}

// A zlib stream of stored deflate blocks.
std::vector<uint8_t> Stored(const std::vector<uint8_t>& Raw) {
  std::vector<uint8_t> out{0x78, 0x01};
  std::size_t pos = 0;
  do {
    const std::size_t n = std::min<std::size_t>(65535, Raw.size() - pos);
    const bool last = pos + n == Raw.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<uint8_t>(n));
    out.push_back(static_cast<uint8_t>(n >> 8));
    out.push_back(static_cast<uint8_t>(~n));
    out.push_back(static_cast<uint8_t>(~n >> 8));
    out.insert(out.end(), Raw.begin() + static_cast<std::ptrdiff_t>(pos), Raw.begin() + static_cast<std::ptrdiff_t>(pos + n));
    pos += n;
  } while (pos < Raw.size());
  uint32_t a = 1, b = 0;
  for (uint8_t byte : Raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  Put32(out, (b << 16) | a);
  return out;
}

}  // namespace

bool WritePng(const std::string& Path, int Width, int Height, const std::vector<uint8_t>& Rgb) {
  if (Width <= 0 || Height <= 0 || Rgb.size() != static_cast<std::size_t>(Width) * Height * 3) return false;
  std::vector<uint8_t> raw;
  raw.reserve(Rgb.size() + static_cast<std::size_t>(Height));
  for (int y = 0; y < Height; ++y) {
    raw.push_back(0);  // no filter
    const auto row = Rgb.begin() + static_cast<std::ptrdiff_t>(y) * Width * 3;
    raw.insert(raw.end(), row, row + Width * 3);
  }
  std::vector<uint8_t> file{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  Put32(header, static_cast<uint32_t>(Width));
  Put32(header, static_cast<uint32_t>(Height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB
  Chunk(file, "IHDR", header);
  Chunk(file, "IDAT", Stored(raw));
  Chunk(file, "IEND", {});
  std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(Path.c_str(), "wb"), &std::fclose);
  if (!f) return false;
  return std::fwrite(file.data(), 1, file.size(), f.get()) == file.size();
}

}  // namespace wintest
