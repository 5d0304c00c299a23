#include "lh1_decoder.h"

#include <algorithm>
#include <array>

namespace lha::detail {

namespace {

constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 60;
constexpr int kSymbols = 256 + kMaxMatch - kMinMatch + 1;  // 314: literals, then lengths
constexpr int kNodes = 2 * kSymbols - 1;                   // 627
constexpr int kRoot = kNodes - 1;
constexpr unsigned kMaxFreq = 0x8000;  // the root's count that halves all counts

// The adaptive Huffman tree. Nodes are kept in order of rising count; a
// child index of kNodes or more names the leaf of symbol index - kNodes.
// After each symbol its count and those above it rise by one, and a node
// whose count passes the next one's swaps places with the last node of the
// smaller count, which keeps the order (and the tree a Huffman tree).
class AdaptiveTree {
 public:
  AdaptiveTree() {
    for (int i = 0; i < kSymbols; ++i) {
      freq_[i] = 1;
      son_[i] = i + kNodes;
      parent_[i + kNodes] = i;
    }
    for (int i = 0, j = kSymbols; j <= kRoot; i += 2, ++j) {
      freq_[j] = freq_[i] + freq_[i + 1];
      son_[j] = i;
      parent_[i] = parent_[i + 1] = j;
    }
    freq_[kNodes] = 0xFFFF;  // stops the search for a place to move to
    parent_[kRoot] = 0;
  }

  int Decode(BitReader& in) {
    int c = son_[kRoot];
    while (c < kNodes) c = son_[c + static_cast<int>(in.Get(1))];
    c -= kNodes;
    Update(c);
    return c;
  }

 private:
  void Update(int symbol) {
    if (freq_[kRoot] == kMaxFreq) Rebuild();
    int c = parent_[symbol + kNodes];
    do {
      const unsigned k = ++freq_[c];
      int l = c + 1;
      if (k > freq_[l]) {
        while (k > freq_[++l]) {
        }
        --l;
        freq_[c] = freq_[l];
        freq_[l] = k;
        const int i = son_[c];
        parent_[i] = l;
        if (i < kNodes) parent_[i + 1] = l;
        const int j = son_[l];
        son_[l] = i;
        parent_[j] = c;
        if (j < kNodes) parent_[j + 1] = c;
        son_[c] = j;
        c = l;
      }
      c = parent_[c];
    } while (c != 0);
  }

  // Halves the leaves' counts and builds the tree anew from them.
  void Rebuild() {
    int j = 0;
    for (int i = 0; i < kNodes; ++i) {
      if (son_[i] >= kNodes) {
        freq_[j] = (freq_[i] + 1) / 2;
        son_[j] = son_[i];
        ++j;
      }
    }
    for (int i = 0, n = kSymbols; n < kNodes; i += 2, ++n) {
      const unsigned f = freq_[i] + freq_[i + 1];
      int k = n - 1;
      while (f < freq_[k]) --k;
      ++k;
      std::copy_backward(freq_.begin() + k, freq_.begin() + n, freq_.begin() + n + 1);
      freq_[k] = f;
      std::copy_backward(son_.begin() + k, son_.begin() + n, son_.begin() + n + 1);
      son_[k] = i;
    }
    for (int i = 0; i < kNodes; ++i) {
      const int k = son_[i];
      if (k >= kNodes) {
        parent_[k] = i;
      } else {
        parent_[k] = parent_[k + 1] = i;
      }
    }
  }

  std::array<unsigned, kNodes + 1> freq_{};
  std::array<int, kNodes + kSymbols> parent_{};
  std::array<int, kNodes> son_{};
};

// The fixed code of a distance's upper six bits, read through its first
// eight bits: values 0, 1-3, 4-11, 12-23, 24-47 and 48-63 have codes of 3,
// 4, 5, 6, 7 and 8 bits.
struct PositionCode {
  std::array<uint8_t, 256> value{}, length{};
  PositionCode() {
    const int counts[] = {1, 3, 8, 12, 24, 16};
    int index = 0, v = 0;
    for (int g = 0; g < 6; ++g) {
      const int bits = g + 3;
      for (int n = 0; n < counts[g]; ++n, ++v) {
        for (int k = 0; k < 1 << (8 - bits); ++k, ++index) {
          value[index] = static_cast<uint8_t>(v);
          length[index] = static_cast<uint8_t>(bits);
        }
      }
    }
  }
};

}  // namespace

Result DecodeLh1(BitReader& in, uint64_t size, const OutputFn& out) {
  static const PositionCode code;
  constexpr size_t kWindow = 4096;
  RingOutput ring(kWindow, kWindow - kMaxMatch, out);
  std::fill(ring.Ring().begin(), ring.Ring().end(), 0x20);
  AdaptiveTree tree;
  uint64_t done = 0;
  while (done < size) {
    const int c = tree.Decode(in);
    if (c < 256) {
      if (!ring.Put(static_cast<uint8_t>(c))) return Result::WriteError;
      ++done;
    } else {
      const size_t length = static_cast<size_t>(c - 256 + kMinMatch);
      const uint32_t first8 = in.Peek16() >> 8;
      in.Skip(code.length[first8]);
      const size_t distance = static_cast<size_t>(code.value[first8]) << 6 | in.Get(6);
      if (length > size - done) return Result::Corrupt;
      if (!ring.Copy(ring.Pos() - distance - 1 + kWindow, length)) return Result::WriteError;
      done += length;
    }
    if (in.Overrun() || in.ReadFailed() || in.Truncated()) {
      return in.ReadFailed() ? Result::ReadError : Result::Corrupt;
    }
  }
  return ring.Flush() ? Result::Ok : Result::WriteError;
}

}  // namespace lha::detail
