#include "lh5_decoder.h"

#include <algorithm>

namespace lha::detail {

Lh5Decoder::Lh5Decoder(int dicBits, int np, int pBits)
    : np_(np), pBits_(pBits), ring_(size_t{1} << dicBits) {}

bool Lh5Decoder::ReadPtLens(BitReader& in, int nn, int nbit, int special, HuffDecoder& tree) {
  const int n = static_cast<int>(in.Get(nbit));
  if (n == 0) {
    const int c = static_cast<int>(in.Get(nbit));
    if (c >= nn) return false;
    tree.SetSingle(c);
    return true;
  }
  if (n > nn) return false;
  uint8_t lens[kMaxPtSymbols] = {};
  int i = 0;
  while (i < n) {
    const uint32_t peek = in.Peek16();
    int c = static_cast<int>(peek >> 13);
    if (c == 7) {
      // One more for every 1 bit after "111", up to a 0 bit.
      uint32_t mask = 1u << 12;
      while (mask & peek) {
        mask >>= 1;
        ++c;
      }
      if (c > kMaxCodeBits) return false;
      in.Skip(static_cast<unsigned>(c - 3));
    } else {
      in.Skip(3);
    }
    lens[i++] = static_cast<uint8_t>(c);
    if (i == special) {
      int zeros = static_cast<int>(in.Get(2));
      while (zeros-- > 0 && i < nn) lens[i++] = 0;
    }
  }
  return tree.Build(lens, nn);
}

bool Lh5Decoder::ReadCLens(BitReader& in) {
  const int n = static_cast<int>(in.Get(kCBits));
  if (n == 0) {
    const int c = static_cast<int>(in.Get(kCBits));
    if (c >= kNC) return false;
    cTree_.SetSingle(c);
    return true;
  }
  if (n > kNC) return false;
  uint8_t lens[kNC] = {};
  int i = 0;
  while (i < n) {
    unsigned bits = 0;
    const int c = tTree_.Decode(in.Peek16(), &bits);
    if (c < 0) return false;
    in.Skip(bits);
    if (c > 2) {
      lens[i++] = static_cast<uint8_t>(c - 2);
      continue;
    }
    const int zeros = c == 0 ? 1 : c == 1 ? static_cast<int>(in.Get(4)) + 3
                                         : static_cast<int>(in.Get(kCBits)) + 20;
    if (zeros > kNC - i) return false;
    i += zeros;  // lens[] is zero already
  }
  return cTree_.Build(lens, kNC);
}

bool Lh5Decoder::ReadBlockHeader(BitReader& in) {
  return ReadPtLens(in, kNT, kTBits, 3, tTree_) && ReadCLens(in) &&
         ReadPtLens(in, np_, pBits_, -1, pTree_);
}

Result Lh5Decoder::Decode(BitReader& in, uint64_t size, const OutputFn& out) {
  // Matches may reach back before the start of the data; such bytes are
  // blanks by the format's convention.
  std::fill(ring_.begin(), ring_.end(), 0x20);
  const size_t mask = ring_.size() - 1;
  size_t pos = 0;        // ring position of the next byte
  size_t flushed = 0;    // ring position up to which bytes went out
  uint64_t done = 0;
  uint32_t blockLeft = 0;
  auto flush = [&]() {
    const bool ok = pos == flushed || out(ring_.data() + flushed, pos - flushed);
    flushed = pos;
    return ok;
  };
  auto damaged = [&]() { return in.ReadFailed() ? Result::ReadError : Result::Corrupt; };

  while (done < size) {
    if (blockLeft == 0) {
      blockLeft = in.Get(16);
      if (!ReadBlockHeader(in) || in.Overrun() || in.ReadFailed() || in.Truncated()) {
        return damaged();
      }
      continue;
    }
    --blockLeft;
    unsigned bits = 0;
    const int c = cTree_.Decode(in.Peek16(), &bits);
    if (c < 0) return Result::Corrupt;
    in.Skip(bits);
    if (c < 256) {
      ring_[pos++] = static_cast<uint8_t>(c);
      ++done;
    } else {
      const uint32_t len = static_cast<uint32_t>(c) - 256 + kMinMatch;
      const int sym = pTree_.Decode(in.Peek16(), &bits);
      if (sym < 0) return Result::Corrupt;
      in.Skip(bits);
      uint32_t dist = static_cast<uint32_t>(sym);
      if (sym > 1) {
        // Windows over 64 KiB have distances of more than 16 extra bits.
        const unsigned extra = static_cast<unsigned>(sym - 1);
        const uint32_t high = extra > 16 ? in.Get(extra - 16) << 16 : 0;
        dist = (1u << extra) + (high | in.Get(extra > 16 ? 16 : extra));
      }
      if (len > size - done) return Result::Corrupt;
      size_t from = (pos - dist - 1) & mask;
      for (uint32_t k = 0; k < len; ++k) {
        ring_[pos++] = ring_[from];
        from = (from + 1) & mask;
        if (pos == ring_.size()) {
          if (!flush()) return Result::WriteError;
          pos = flushed = 0;
        }
      }
      done += len;
    }
    if (pos == ring_.size()) {
      if (!flush()) return Result::WriteError;
      pos = flushed = 0;
    }
    if (in.Overrun() || in.ReadFailed() || in.Truncated()) return damaged();
  }
  if (!flush()) return Result::WriteError;
  return Result::Ok;
}

}  // namespace lha::detail
