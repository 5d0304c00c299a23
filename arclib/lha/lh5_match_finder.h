// Binary-tree match finder for the LZSS stage of -lh5- to -lh7-: every
// position goes into a tree of earlier positions ordered by the strings
// that start there, and the walk down that tree yields the matches of
// rising length, each at the nearest distance the walk met.
#pragma once

#include <cstdint>
#include <vector>

namespace lha::detail {

struct Lh5Match {
  uint16_t len;
  uint16_t dist;  // 1 .. window - 1
};

class Lh5MatchFinder {
 public:
  static constexpr int32_t kNil = INT32_MIN / 2;

  // window: a power of two; matches reach back at most window - 1 bytes.
  explicit Lh5MatchFinder(int window);

  // Forgets every position (a new stream).
  void Reset();
  // Positions are offsets into the caller's buffer; after the buffer drops
  // its first `shift` bytes (a multiple of the window), they move too.
  void Rebase(int32_t shift);

  // Inserts position `cur` of `buf` and, when `out` is given, writes the
  // matches longer than 2 there, longest last; returns their number (at
  // most depth). maxLen: bytes readable at cur, at least 3. A match of
  // niceLen bytes ends the walk. Positions must come in rising order.
  int Insert(const uint8_t* buf, int32_t cur, int maxLen, int niceLen, int depth, Lh5Match* out);

 private:
  int hashShift_;  // 32 minus the bits of a bucket number
  int mask_;     // tree slot of a position: position & mask_
  int maxDist_;
  std::vector<int32_t> head_;   // root of each hash bucket's tree
  std::vector<int32_t> left_;   // subtree of strings below the node's
  std::vector<int32_t> right_;  // subtree of strings above the node's
};

}  // namespace lha::detail
