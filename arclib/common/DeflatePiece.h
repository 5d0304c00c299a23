// Raw deflate with libdeflate, which packs tighter and faster than zlib at
// equal level but only compresses whole buffers. A long stream is cut into
// pieces compressed apart (on several cores) and joined again: a piece that
// is not the last has its final-block flag cleared and ends on a byte with
// an empty stored block, so the next piece's blocks follow it in one
// stream that every inflater reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace arc {

// The pieces a long stream is cut into: big enough that the lost history
// costs nothing to speak of, small enough that two cores share a file.
constexpr size_t kDeflatePieceSize = size_t(4) << 20;

// Compresses `size` bytes at libdeflate's `level` (1..12). Throws
// Failure (out of memory) when no compressor can be had.
std::vector<uint8_t> DeflatePiece(int level, const uint8_t* data, size_t size, bool last);

// True when the first 64 KiB do not shrink even by 1% at libdeflate's
// fastest level: noise, or data compressed already. Such data costs the
// higher levels' parsing most and gives them nothing to find.
bool LooksIncompressible(const uint8_t* data, size_t size);

}  // namespace arc
