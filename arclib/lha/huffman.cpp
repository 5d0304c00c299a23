#include "huffman.h"

#include <algorithm>
#include <numeric>

namespace lha::detail {

int BuildLengths(const uint32_t* freq, int n, uint8_t* lens, int* single) {
  std::fill(lens, lens + n, 0);
  std::vector<int> syms;
  for (int i = 0; i < n; ++i) {
    if (freq[i] != 0) syms.push_back(i);
  }
  const int m = static_cast<int>(syms.size());
  *single = m == 1 ? syms[0] : -1;
  if (m < 2) return m;

  // Leaves by rising frequency; internal nodes come out of the merge in
  // rising order too, so two queues give the Huffman tree without a heap.
  std::stable_sort(syms.begin(), syms.end(), [&](int a, int b) { return freq[a] < freq[b]; });
  std::vector<uint64_t> weight(2 * m - 1);
  std::vector<int> parent(2 * m - 1, -1);
  for (int i = 0; i < m; ++i) weight[i] = freq[syms[i]];
  int leaf = 0, inner = m;
  auto take = [&](int made) {
    if (leaf < m && (inner >= made || weight[leaf] <= weight[inner])) return leaf++;
    return inner++;
  };
  for (int made = m; made < 2 * m - 1; ++made) {
    const int a = take(made);
    const int b = take(made);
    weight[made] = weight[a] + weight[b];
    parent[a] = parent[b] = made;
  }
  std::vector<int> depth(2 * m - 1, 0);
  for (int i = 2 * m - 3; i >= 0; --i) depth[i] = depth[parent[i]] + 1;

  // Leaves per depth; depths beyond the limit are folded back while keeping
  // the code complete: two deepest siblings leave, one takes their parent's
  // place, and a shallower leaf splits to make room for the other.
  const int maxDepth = *std::max_element(depth.begin(), depth.begin() + m);
  std::vector<int> count(std::max(maxDepth, kMaxCodeBits) + 1, 0);
  for (int i = 0; i < m; ++i) ++count[depth[i]];
  for (int d = maxDepth; d > kMaxCodeBits; --d) {
    while (count[d] > 0) {
      int j = d - 2;
      while (count[j] == 0) --j;
      count[d] -= 2;
      count[d - 1] += 1;
      count[j + 1] += 2;
      count[j] -= 1;
    }
  }
  // Longest codes to the rarest symbols.
  int idx = 0;
  for (int d = kMaxCodeBits; d >= 1; --d) {
    for (int k = 0; k < count[d]; ++k) lens[syms[idx++]] = static_cast<uint8_t>(d);
  }
  return m;
}

void MakeCodes(const uint8_t* lens, int n, uint16_t* codes) {
  uint32_t count[kMaxCodeBits + 1] = {};
  for (int i = 0; i < n; ++i) ++count[lens[i]];
  count[0] = 0;
  uint32_t next[kMaxCodeBits + 2] = {};
  uint32_t code = 0;
  for (int len = 1; len <= kMaxCodeBits; ++len) {
    code = (code + count[len - 1]) << 1;
    next[len] = code;
  }
  for (int i = 0; i < n; ++i) {
    codes[i] = lens[i] ? static_cast<uint16_t>(next[lens[i]]++) : 0;
  }
}

bool HuffDecoder::Build(const uint8_t* lens, int n) {
  single_ = -1;
  std::fill(std::begin(count_), std::end(count_), 0u);
  for (int i = 0; i < n; ++i) {
    if (lens[i] > kMaxCodeBits) return false;
    ++count_[lens[i]];
  }
  count_[0] = 0;
  uint32_t code = 0, index = 0;
  for (int len = 1; len <= kMaxCodeBits; ++len) {
    code = (code + count_[len - 1]) << 1;
    first_[len] = code;
    offset_[len] = index;
    index += count_[len];
    if (code + count_[len] > (1u << len)) return false;  // oversubscribed
  }
  sorted_.assign(index, 0);
  uint32_t fill[kMaxCodeBits + 1];
  std::copy(std::begin(offset_), std::end(offset_), fill);
  std::fill(fast_.begin(), fast_.end(), 0);
  uint32_t next[kMaxCodeBits + 1];
  std::copy(std::begin(first_), std::end(first_), next);
  for (int sym = 0; sym < n; ++sym) {
    const int len = lens[sym];
    if (len == 0) continue;
    sorted_[fill[len]++] = static_cast<uint16_t>(sym);
    const uint32_t c = next[len]++;
    if (len <= kFastBits) {
      const uint32_t lo = c << (kFastBits - len), hi = (c + 1) << (kFastBits - len);
      std::fill(fast_.begin() + lo, fast_.begin() + hi, static_cast<uint16_t>(sym << 5 | len));
    }
  }
  return true;
}

void HuffDecoder::SetSingle(int symbol) {
  single_ = symbol;
  std::fill(fast_.begin(), fast_.end(), static_cast<uint16_t>(symbol << 5));
}

int HuffDecoder::DecodeSlow(uint32_t peek, unsigned* bits) const {
  if (single_ >= 0) {  // symbol 0 alone has an all-zero table entry
    *bits = 0;
    return single_;
  }
  for (int len = kFastBits + 1; len <= kMaxCodeBits; ++len) {
    const uint32_t c = peek >> (16 - len);
    if (c - first_[len] < count_[len]) {
      *bits = static_cast<unsigned>(len);
      return sorted_[offset_[len] + c - first_[len]];
    }
  }
  return -1;
}

}  // namespace lha::detail
