// Decoder of -lh1-, the method of LHarc 1: LZ77 over a 4 KiB window with
// matches of 3 to 60 bytes, literals and lengths coded by an adaptive
// Huffman tree, the upper six bits of a distance by a fixed code and the
// lower six as they are.
#pragma once

#include <cstdint>

#include "bit_reader.h"
#include "lha_types.h"
#include "ring_output.h"

namespace lha::detail {

// Decodes exactly `size` bytes; Corrupt when the data ends early or a
// match runs past the size.
Result DecodeLh1(BitReader& in, uint64_t size, const OutputFn& out);

}  // namespace lha::detail
