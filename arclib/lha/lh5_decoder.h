// Decoder of the -lh4- to -lh7- (and -lhx-) block format (window 4 KiB to 4 MiB).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "bit_reader.h"
#include "huffman.h"
#include "lh5_format.h"
#include "lha_types.h"
#include "ring_output.h"

namespace lha::detail {


// The largest pre-tree or position tree.
constexpr int kMaxPtSymbols = 23;

class Lh5Decoder {
 public:
  // dicBits 12 to 22; np (at most kMaxPtSymbols) and pBits describe the
  // position tree.
  Lh5Decoder(int dicBits, int np, int pBits);
  // Decodes exactly `size` bytes. Corrupt for damaged data; CRCs are the
  // caller's business.
  Result Decode(BitReader& in, uint64_t size, const OutputFn& out);

 private:
  bool ReadPtLens(BitReader& in, int nn, int nbit, int special, HuffDecoder& tree);
  bool ReadCLens(BitReader& in);
  bool ReadBlockHeader(BitReader& in);

  int np_, pBits_;
  std::vector<uint8_t> ring_;
  HuffDecoder tTree_, cTree_, pTree_;
};

}  // namespace lha::detail
