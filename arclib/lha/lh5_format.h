// Constants of the -lh5- block format (shared by -lh4- to -lh7-, which
// differ only in window size and position tree).
#pragma once

#include "huffman.h"

namespace lha::detail {

constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 256;
// Literal/length tree: literals 0..255, then lengths 3..256.
constexpr int kNC = 256 + kMaxMatch - kMinMatch + 1;  // 510
constexpr int kCBits = 9;                              // bits of its size field
// Pre-tree that codes the literal/length tree's code lengths: 0..2 say
// "runs of zeros", n + 2 says "length n".
constexpr int kNT = kMaxCodeBits + 3;                  // 19
constexpr int kTBits = 5;
// Position tree of -lh5-: symbol k codes a distance minus one of k bits.
constexpr int kLh5DicBits = 13;                        // 8 KiB window
constexpr int kLh5NP = kLh5DicBits + 1;                // 14
constexpr int kLh5PBits = 4;

}  // namespace lha::detail
