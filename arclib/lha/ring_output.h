// The sliding window of the LZ decoders: decoded bytes go into a ring and
// reach the caller each time the ring wraps, and at the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace lha::detail {

// Receives decoded bytes; false stops decoding with Result::WriteError.
using OutputFn = std::function<bool(const uint8_t*, size_t)>;

class RingOutput {
 public:
  // `size` is a power of two; writing starts at ring position `start`.
  RingOutput(size_t size, size_t start, const OutputFn& out)
      : ring_(size), mask_(size - 1), pos_(start & mask_), flushed_(pos_), out_(out) {}

  // Contents before the first byte, which matches may reach back into.
  std::vector<uint8_t>& Ring() { return ring_; }
  uint8_t At(size_t position) const { return ring_[position & mask_]; }
  size_t Pos() const { return pos_; }

  bool Put(uint8_t b) {
    ring_[pos_++] = b;
    if (pos_ < ring_.size()) return true;
    const bool ok = Flush();
    pos_ = flushed_ = 0;
    return ok;
  }
  // Copies `length` bytes starting at ring position `from` (they may
  // overlap what is being written, as LZ77 matches do).
  bool Copy(size_t from, size_t length) {
    for (size_t k = 0; k < length; ++k) {
      if (!Put(ring_[(from + k) & mask_])) return false;
    }
    return true;
  }
  // Hands over what has not gone out yet.
  bool Flush() {
    const bool ok = pos_ == flushed_ || out_(ring_.data() + flushed_, pos_ - flushed_);
    flushed_ = pos_;
    return ok;
  }

 private:
  std::vector<uint8_t> ring_;
  size_t mask_;
  size_t pos_;
  size_t flushed_;
  const OutputFn& out_;
};

}  // namespace lha::detail
