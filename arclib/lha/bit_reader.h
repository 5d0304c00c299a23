// Reads member data most significant bit first, never past the member's
// compressed size; beyond it come zero bits, counted so that damaged data
// cannot keep a decoder busy for ever.
#pragma once

#include <cstdint>
#include <vector>

#include "lha_io.h"

namespace lha::detail {

class BitReader {
 public:
  BitReader(ByteSource& source, uint64_t size) : source_(source), left_(size), chunk_(1 << 16) {}

  // The next 16 bits without taking them.
  uint32_t Peek16() {
    if (bits_ < 16) Refill();
    return static_cast<uint32_t>(acc_ >> (bits_ - 16)) & 0xFFFF;
  }
  void Skip(unsigned n) { bits_ -= n; }  // n <= bits known by Peek16
  uint32_t Get(unsigned n) {             // n <= 16
    if (n == 0) return 0;
    const uint32_t v = Peek16() >> (16 - n);
    bits_ -= n;
    return v;
  }
  bool ReadFailed() const { return failed_; }
  // The source ended before the member's compressed size.
  bool Truncated() const { return truncated_; }
  // Bits taken beyond the compressed size (more than the last byte's
  // padding could explain): the data is damaged.
  bool Overrun() const { return padding_ * 8 > bits_ + 16; }

 private:
  void Refill() {
    while (bits_ <= 56) {
      if (next_ == filled_) Load();
      uint8_t b = 0;
      if (next_ < filled_) {
        b = chunk_[next_++];
      } else {
        ++padding_;
      }
      acc_ = (acc_ << 8) | b;
      bits_ += 8;
    }
  }
  void Load() {
    next_ = filled_ = 0;
    if (left_ == 0 || failed_) return;
    const size_t want = left_ < chunk_.size() ? static_cast<size_t>(left_) : chunk_.size();
    const std::ptrdiff_t got = source_.Read(chunk_.data(), want);
    if (got <= 0) {
      failed_ = got < 0;
      truncated_ = got == 0;
      left_ = 0;
      return;
    }
    filled_ = static_cast<size_t>(got);
    left_ -= filled_;
  }

  ByteSource& source_;
  uint64_t left_;
  std::vector<uint8_t> chunk_;
  size_t next_ = 0, filled_ = 0;
  uint64_t acc_ = 0;
  unsigned bits_ = 0;
  uint64_t padding_ = 0;
  bool failed_ = false;
  bool truncated_ = false;
};

}  // namespace lha::detail
