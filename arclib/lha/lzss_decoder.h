// Decoders of the LZSS methods of LArc that LHA programs read: -lzs- (2 KiB
// window) and -lz5- (4 KiB window). Each decodes exactly `size` bytes and
// answers Corrupt when the data ends early or a match runs past the size.
#pragma once

#include <cstdint>

#include "bit_reader.h"
#include "lha_types.h"
#include "ring_output.h"

namespace lha::detail {

// -lzs-: a flag bit, 1 for a literal byte, 0 for an 11-bit window position
// and a 4-bit length (2 to 17). The window starts as blanks.
Result DecodeLzs(BitReader& in, uint64_t size, const OutputFn& out);
// -lz5-: a flag byte for the next eight items (low bit first), 1 for a
// literal byte, 0 for a 12-bit window position and a 4-bit length (3 to
// 18) in two bytes. The window starts with a fixed pattern of runs.
Result DecodeLz5(BitReader& in, uint64_t size, const OutputFn& out);

}  // namespace lha::detail
