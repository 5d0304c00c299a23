// Packs codes most significant bit first, as lh5 data is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lha::detail {

class BitWriter {
 public:
  // Appends the low `n` bits of `value` (n <= 32).
  void Put(unsigned n, uint32_t value) {
    acc_ = (acc_ << n) | (value & ((uint64_t{1} << n) - 1));
    bits_ += n;
    if (bits_ >= 32) {
      bits_ -= 32;
      const auto w = static_cast<uint32_t>(acc_ >> bits_);
      const uint8_t b[4] = {static_cast<uint8_t>(w >> 24), static_cast<uint8_t>(w >> 16),
                            static_cast<uint8_t>(w >> 8), static_cast<uint8_t>(w)};
      out_.insert(out_.end(), b, b + 4);
    }
  }
  // Pads the last byte with zero bits.
  void Flush() {
    while (bits_ >= 8) {
      bits_ -= 8;
      out_.push_back(static_cast<uint8_t>(acc_ >> bits_));
    }
    if (bits_ > 0) {
      out_.push_back(static_cast<uint8_t>(acc_ << (8 - bits_)));
      bits_ = 0;
    }
    acc_ = 0;
  }
  // Whole bytes written so far; the bits still in the accumulator excluded.
  std::vector<uint8_t>& Bytes() { return out_; }
  // Everything so far including pending bits, rounded up to bytes.
  uint64_t SizeInBytes() const { return out_.size() + (bits_ + 7) / 8; }

 private:
  uint64_t acc_ = 0;
  unsigned bits_ = 0;
  std::vector<uint8_t> out_;
};

}  // namespace lha::detail
