#include "lh5_match_finder.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace lha::detail {

namespace {

inline uint32_t Load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

inline uint64_t Load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

// Length of the common prefix of s and m, known to be at least `len`, at
// most maxLen.
inline int CommonLength(const uint8_t* s, const uint8_t* m, int len, int maxLen) {
  while (len + 8 <= maxLen) {
    const uint64_t x = Load64(s + len) ^ Load64(m + len);
    if (x != 0) {
      if constexpr (std::endian::native == std::endian::little) {
        return len + std::countr_zero(x) / 8;
      } else {
        return len + std::countl_zero(x) / 8;
      }
    }
    len += 8;
  }
  while (len < maxLen && s[len] == m[len]) ++len;
  return len;
}

}  // namespace

// Two buckets per window position: more would only cost cache misses.
Lh5MatchFinder::Lh5MatchFinder(int window)
    : hashShift_(31 - std::countr_zero(static_cast<unsigned>(window))),
      mask_(window - 1),
      maxDist_(window - 1),
      head_(static_cast<size_t>(window) * 2, kNil),
      left_(static_cast<size_t>(window), kNil),
      right_(static_cast<size_t>(window), kNil) {}

// Trees are entered only through head_, and every node a new stream reaches
// had both its links written by that stream's own inserts, so the link
// tables need no clearing.
void Lh5MatchFinder::Reset() { std::fill(head_.begin(), head_.end(), kNil); }

void Lh5MatchFinder::Rebase(int32_t shift) {
  auto rebase = [shift](int32_t& v) { v = v >= shift ? v - shift : kNil; };
  std::for_each(head_.begin(), head_.end(), rebase);
  std::for_each(left_.begin(), left_.end(), rebase);
  std::for_each(right_.begin(), right_.end(), rebase);
}

int Lh5MatchFinder::Insert(const uint8_t* buf, int32_t cur, int maxLen, int niceLen, int depth,
                           Lh5Match* out) {
  const uint8_t* s = buf + cur;
  const uint32_t h = ((Load32(s) & 0xFFFFFF) * 2654435761u) >> hashShift_;
  int32_t node = head_[h];
  head_[h] = cur;
  // The new position becomes the root; the old tree is split around it
  // into its two subtrees, filled in through these two open links.
  int32_t* below = &left_[cur & mask_];
  int32_t* above = &right_[cur & mask_];
  const int32_t limit = cur - maxDist_;
  const int nice = std::min(niceLen, maxLen);
  int belowLen = 0, aboveLen = 0;  // bytes every node on each side shares with s
  int best = 2;
  int found = 0;
  while (node >= limit && depth-- > 0) {
    const uint8_t* m = buf + node;
    int len = std::min(belowLen, aboveLen);
    if (m[len] == s[len]) {
      len = CommonLength(s, m, len + 1, maxLen);
      if (len > best) {
        best = len;
        if (out) out[found++] = {static_cast<uint16_t>(len), static_cast<uint16_t>(cur - node)};
      }
      if (len >= nice) {
        // Equal as far as we look: the new position takes the node's place.
        *below = left_[node & mask_];
        *above = right_[node & mask_];
        return found;
      }
    }
    if (m[len] < s[len]) {
      *below = node;
      below = &right_[node & mask_];
      node = *below;
      belowLen = len;
    } else {
      *above = node;
      above = &left_[node & mask_];
      node = *above;
      aboveLen = len;
    }
  }
  *below = kNil;
  *above = kNil;
  return found;
}

}  // namespace lha::detail
