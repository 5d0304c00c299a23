// Canonical Huffman codes as lh5 blocks use them: code lengths up to 16 bits,
// codes of one length numbered upwards in symbol order, shorter codes first.
#pragma once

#include <cstdint>
#include <vector>

namespace lha::detail {

constexpr int kMaxCodeBits = 16;

// Code lengths for `n` symbols from their frequencies, none longer than
// kMaxCodeBits, with a complete code whenever two or more symbols occur.
// Returns the number of symbols that occur. When exactly one occurs its
// length stays 0 and *single names it: lh5 writes such a tree as that
// symbol alone, and its code takes no bits.
int BuildLengths(const uint32_t* freq, int n, uint8_t* lens, int* single);

// Codes for the lengths (symbols of length 0 get none).
void MakeCodes(const uint8_t* lens, int n, uint16_t* codes);

// Decodes one code from the next 16 bits of input.
class HuffDecoder {
 public:
  // False for lengths over 16 or more codes than the lengths allow. An
  // incomplete code is accepted; its unused bit patterns decode as errors.
  bool Build(const uint8_t* lens, int n);
  // A tree of one symbol whose code takes no bits.
  void SetSingle(int symbol);
  // The symbol for the code at the top of `peek` (the next 16 bits, first
  // bit in bit 15) and its length in *bits; -1 when no code matches.
  int Decode(uint32_t peek, unsigned* bits) const {
    const uint16_t e = fast_[peek >> (16 - kFastBits)];
    if (e != 0) {
      *bits = e & 0x1F;
      return e >> 5;
    }
    return DecodeSlow(peek, bits);
  }

 private:
  static constexpr int kFastBits = 10;
  int DecodeSlow(uint32_t peek, unsigned* bits) const;

  // Entry: symbol << 5 | length, 0 when the code is longer than kFastBits
  // (or no code). A single-symbol tree stores length 0 in every entry.
  std::vector<uint16_t> fast_ = std::vector<uint16_t>(1u << kFastBits);
  uint32_t first_[kMaxCodeBits + 1] = {};   // first code of each length
  uint32_t count_[kMaxCodeBits + 1] = {};   // codes of each length
  uint32_t offset_[kMaxCodeBits + 1] = {};  // index into sorted_ of each length
  std::vector<uint16_t> sorted_;            // symbols ordered by (length, symbol)
  int single_ = -1;
};

}  // namespace lha::detail
