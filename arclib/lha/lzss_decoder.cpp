#include "lzss_decoder.h"

#include <algorithm>

namespace lha::detail {

namespace {

Result Damaged(const BitReader& in) { return in.ReadFailed() ? Result::ReadError : Result::Corrupt; }

bool Exhausted(const BitReader& in) { return in.Overrun() || in.ReadFailed() || in.Truncated(); }

}  // namespace

Result DecodeLzs(BitReader& in, uint64_t size, const OutputFn& out) {
  constexpr size_t kWindow = 2048, kMaxLength = 17;
  RingOutput ring(kWindow, kWindow - kMaxLength, out);
  std::fill(ring.Ring().begin(), ring.Ring().end(), 0x20);
  uint64_t done = 0;
  while (done < size) {
    if (in.Get(1)) {
      if (!ring.Put(static_cast<uint8_t>(in.Get(8)))) return Result::WriteError;
      ++done;
    } else {
      const size_t from = in.Get(11);
      const size_t length = in.Get(4) + 2;
      if (length > size - done) return Result::Corrupt;
      if (!ring.Copy(from, length)) return Result::WriteError;
      done += length;
    }
    if (Exhausted(in)) return Damaged(in);
  }
  return ring.Flush() ? Result::Ok : Result::WriteError;
}

Result DecodeLz5(BitReader& in, uint64_t size, const OutputFn& out) {
  constexpr size_t kWindow = 4096, kMaxLength = 18;
  RingOutput ring(kWindow, kWindow - kMaxLength, out);
  // The starting window: each byte value 13 times, the values rising, then
  // falling, 128 zeros, blanks, and zeros where the first bytes go.
  std::vector<uint8_t>& w = ring.Ring();
  size_t at = 0;
  for (int v = 0; v < 256; ++v) {
    std::fill_n(w.begin() + static_cast<std::ptrdiff_t>(at), 13, static_cast<uint8_t>(v));
    at += 13;
  }
  for (int v = 0; v < 256; ++v) w[at++] = static_cast<uint8_t>(v);
  for (int v = 255; v >= 0; --v) w[at++] = static_cast<uint8_t>(v);
  std::fill_n(w.begin() + static_cast<std::ptrdiff_t>(at), 128, 0);
  at += 128;
  std::fill(w.begin() + static_cast<std::ptrdiff_t>(at), w.end() - kMaxLength, 0x20);
  std::fill(w.end() - kMaxLength, w.end(), 0);

  uint64_t done = 0;
  unsigned flags = 0, flagsLeft = 0;
  while (done < size) {
    if (flagsLeft == 0) {
      flags = in.Get(8);
      flagsLeft = 8;
    }
    const bool literal = flags & 1;
    flags >>= 1;
    --flagsLeft;
    if (literal) {
      if (!ring.Put(static_cast<uint8_t>(in.Get(8)))) return Result::WriteError;
      ++done;
    } else {
      const unsigned lo = in.Get(8), hi = in.Get(8);
      const size_t from = lo | (hi & 0xF0) << 4;
      const size_t length = (hi & 0x0F) + 3;
      if (length > size - done) return Result::Corrupt;
      if (!ring.Copy(from, length)) return Result::WriteError;
      done += length;
    }
    if (Exhausted(in)) return Damaged(in);
  }
  return ring.Flush() ? Result::Ok : Result::WriteError;
}

}  // namespace lha::detail
