#include "common/DeflatePiece.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

#include "archives/ArchiverDll.h"
#include "common/Failure.h"

namespace arc {

namespace {

struct CompressorFree {
  void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

// One compressor per level and thread: setting one up costs more than a
// small member's compression.
libdeflate_compressor* Compressor(int level) {
  thread_local std::array<std::unique_ptr<libdeflate_compressor, CompressorFree>, 13> cache;
  auto& slot = cache.at(static_cast<size_t>(level));
  if (!slot) slot.reset(libdeflate_alloc_compressor(level));
  if (!slot) throw Failure(ARCERR_ENOUGH_MEMORY, "out of memory");
  return slot.get();
}

struct InflateEnd {
  z_stream* z;
  ~InflateEnd() { inflateEnd(z); }
};

// Walks the blocks of a complete raw deflate stream with zlib's
// block-by-block inflate: returns the bit where the last block's header
// starts, and the unused bits of the last byte. Throws when the stream
// does not inflate to `expected` bytes, which would be our own fault.
void FindLastBlock(const std::vector<uint8_t>& stream, size_t expected, size_t& lastHeaderBit, int& padding) {
  z_stream z{};
  if (inflateInit2(&z, -15) != Z_OK) throw Failure(ARCERR_ENOUGH_MEMORY, "out of memory");
  InflateEnd end{&z};
  std::vector<uint8_t> sink(1 << 16);
  z.next_in = const_cast<Bytef*>(stream.data());
  z.avail_in = static_cast<uInt>(stream.size());
  lastHeaderBit = 0;
  size_t endBit = 0;
  for (;;) {
    z.next_out = sink.data();
    z.avail_out = static_cast<uInt>(sink.size());
    const int r = inflate(&z, Z_BLOCK);
    if (r == Z_STREAM_END) break;
    if (r != Z_OK && r != Z_BUF_ERROR) throw Failure(ARCERR_CANNOT_WRITE, "the compressor made a broken stream");
    if (r == Z_BUF_ERROR && z.avail_in == 0) throw Failure(ARCERR_CANNOT_WRITE, "the compressor made a short stream");
    // At a block boundary: after a block that is not the last, the next
    // header starts here; after the last, the stream's bits end here.
    if ((z.data_type & 128) != 0) {
      const size_t bit = z.total_in * 8 - static_cast<size_t>(z.data_type & 7);
      ((z.data_type & 64) != 0 ? endBit : lastHeaderBit) = bit;
    }
  }
  if (z.total_out != expected || z.total_in != stream.size() || endBit > stream.size() * 8 ||
      stream.size() * 8 - endBit >= 8)
    throw Failure(ARCERR_CANNOT_WRITE, "the compressor made a stream of the wrong length");
  padding = static_cast<int>(stream.size() * 8 - endBit);
}

}  // namespace

std::vector<uint8_t> DeflatePiece(int level, const uint8_t* data, size_t size, bool last) {
  libdeflate_compressor* c = Compressor(level);
  std::vector<uint8_t> out(libdeflate_deflate_compress_bound(c, size) + 8);
  const size_t n = libdeflate_deflate_compress(c, data, size, out.data(), out.size());
  if (n == 0) throw Failure(ARCERR_CANNOT_WRITE, "the compressor's output did not fit");
  out.resize(n);
  if (last) return out;
  size_t header = 0;
  int padding = 0;
  FindLastBlock(out, size, header, padding);
  out[header >> 3] &= static_cast<uint8_t>(~(1u << (header & 7)));
  // An empty stored block: three zero header bits, zeros to the byte's
  // end, then LEN 0 and NLEN 0xFFFF.
  out.back() &= static_cast<uint8_t>((1u << (8 - padding)) - 1);
  if (padding < 3) out.push_back(0);
  for (uint8_t b : {0x00, 0x00, 0xFF, 0xFF}) out.push_back(b);
  return out;
}

bool LooksIncompressible(const uint8_t* data, size_t size) {
  const size_t sample = std::min<size_t>(size, 64 << 10);
  if (sample < 4096) return false;  // too little to judge; small anyway
  // Most data gives itself away in its first 4 KiB: text and records use
  // few byte values often. Only bytes spread nearly evenly over all 256
  // values (noise, compressed data, or noise that repeats) are tried.
  uint32_t counts[256] = {};
  for (size_t i = 0; i < 4096; ++i) ++counts[data[i]];
  double bits = 0;
  for (uint32_t n : counts)
    if (n != 0) bits -= n * std::log2(n / 4096.0);
  if (bits / 4096 < 7.8) return false;
  libdeflate_compressor* c = Compressor(1);
  std::vector<uint8_t> out(sample);
  const size_t n = libdeflate_deflate_compress(c, data, sample, out.data(), sample * 99 / 100);
  return n == 0;  // did not fit in 99% of the sample
}

}  // namespace arc
