#include "lh5_encoder.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "huffman.h"

namespace lha::detail {

namespace {

// Position symbol of a distance minus one: its bit length.
inline int PosSymbol(unsigned v) { return v == 0 ? 0 : std::bit_width(v); }

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

// Length of the common prefix of s and m, at most maxLen.
inline int CommonLength(const uint8_t* s, const uint8_t* m, int maxLen) {
  int len = 0;
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

Lh5Encoder::Lh5Encoder(const Lh5Params& params, int dicBits)
    : params_(params),
      window_(1 << std::clamp(dicBits, kLh5DicBits, 16)),
      maxDist_(window_ - 1),
      prevSize_(window_ * 2),
      np_(window_ <= (1 << kLh5DicBits) ? kLh5NP : std::bit_width(static_cast<unsigned>(window_))),
      pBits_(np_ < 16 ? 4 : 5),
      buf_(kBufSize + 8, 0),
      head_(1u << kHashBits, kNil),
      prev_(static_cast<size_t>(prevSize_), kNil) {
  params_.blockSymbols = std::clamp(params_.blockSymbols, 1, 65535);
  params_.niceLength = std::clamp(params_.niceLength, kMinMatch, kMaxMatch);
  params_.maxChain = std::max(params_.maxChain, 1);
  codes_.reserve(params_.blockSymbols);
}

// Chains are entered only through head_, and every chain entry a new
// stream reaches was written by that stream's own inserts, so prev_ needs
// no clearing.
void Lh5Encoder::Reset() {
  pos_ = end_ = 0;
  base_ = 0;
  std::fill(head_.begin(), head_.end(), kNil);
  matchLen_ = kMinMatch - 1;
  matchDist_ = 0;
  matchAvailable_ = false;
  codes_.clear();
  dists_.clear();
  std::fill(std::begin(cFreq_), std::end(cFreq_), 0);
  std::fill(std::begin(pFreq_), std::end(pFreq_), 0);
  out_ = BitWriter();
}

void Lh5Encoder::Write(const uint8_t* data, size_t size) {
  while (size > 0) {
    if (end_ == kBufSize) Slide();
    const size_t n = std::min(size, static_cast<size_t>(kBufSize - end_));
    std::memcpy(buf_.data() + end_, data, n);
    end_ += static_cast<int32_t>(n);
    data += n;
    size -= n;
    Run(false);
  }
}

void Lh5Encoder::Finish() {
  Run(true);
  SendBlock();
  out_.Flush();
}

// Drops input older than the window; the shift is a multiple of the chain
// table size so that chain slots keep their meaning.
void Lh5Encoder::Slide() {
  const int32_t shift = (pos_ - window_ - 1) / prevSize_ * prevSize_;
  if (shift <= 0) return;
  std::memmove(buf_.data(), buf_.data() + shift, static_cast<size_t>(end_ - shift));
  pos_ -= shift;
  end_ -= shift;
  base_ += static_cast<uint64_t>(shift);
  auto rebase = [shift](int32_t& v) { v = v >= shift ? v - shift : kNil; };
  std::for_each(head_.begin(), head_.end(), rebase);
  std::for_each(prev_.begin(), prev_.end(), rebase);
}

int32_t Lh5Encoder::Insert(int32_t p) {
  const uint32_t h = ((Load32(&buf_[p]) & 0xFFFFFF) * 2654435761u) >> (32 - kHashBits);
  const int32_t old = head_[h];
  prev_[p & (prevSize_ - 1)] = old;
  head_[h] = p;
  return old;
}

// Best match at `cur` longer than prevLen, searching the chain from `cand`;
// 0 when there is none.
int Lh5Encoder::LongestMatch(int32_t cur, int32_t cand, int prevLen, int* dist) const {
  const int maxLen = std::min(kMaxMatch, end_ - cur);
  int best = prevLen;
  if (best >= maxLen) return 0;
  int chain = params_.maxChain;
  if (prevLen >= params_.goodLength) chain = std::max(chain >> 2, 1);
  const int nice = std::min(params_.niceLength, maxLen);
  const int32_t limit = cur - maxDist_;
  const uint8_t* s = &buf_[cur];
  int bestDist = 0;
  while (cand >= limit && chain-- > 0) {
    const uint8_t* m = &buf_[cand];
    if (m[best] == s[best] && m[0] == s[0] && m[1] == s[1]) {
      const int len = CommonLength(s, m, maxLen);
      if (len > best) {
        best = len;
        bestDist = cur - cand;
        if (len >= nice) break;
      }
    }
    cand = prev_[cand & (prevSize_ - 1)];
  }
  if (bestDist == 0) return 0;
  *dist = bestDist;
  return best;
}

// Lazy matching: a match found at one position is held back while the next
// position is tried; the longer of the two wins.
void Lh5Encoder::Run(bool flush) {
  for (;;) {
    const int32_t lookahead = end_ - pos_;
    if (lookahead == 0 || (lookahead < kMinLookahead && !flush)) break;
    int32_t hashHead = kNil;
    if (lookahead >= kMinMatch) hashHead = Insert(pos_);
    const int prevLen = matchLen_;
    const int prevDist = matchDist_;
    matchLen_ = kMinMatch - 1;
    if (hashHead != kNil && prevLen < params_.maxLazy && pos_ - hashHead <= maxDist_) {
      int dist = 0;
      const int len = LongestMatch(pos_, hashHead, prevLen, &dist);
      if (len > 0 && !(len == kMinMatch && dist > params_.tooFar)) {
        matchLen_ = len;
        matchDist_ = dist;
      }
    }
    if (prevLen >= kMinMatch && matchLen_ <= prevLen) {
      // The held match starts at pos_ - 1; its later positions still go into
      // the chains so that following matches can find them.
      Match(prevLen, prevDist);
      const int32_t last = pos_ + prevLen - 2;
      const int32_t maxInsert = end_ - kMinMatch;
      for (int32_t p = pos_ + 1; p <= last && p <= maxInsert; ++p) Insert(p);
      pos_ = last + 1;
      matchAvailable_ = false;
      matchLen_ = kMinMatch - 1;
    } else if (matchAvailable_) {
      Literal(buf_[pos_ - 1]);
      ++pos_;
    } else {
      matchAvailable_ = true;
      ++pos_;
    }
  }
  if (flush && matchAvailable_) {
    Literal(buf_[pos_ - 1]);
    matchAvailable_ = false;
  }
}

void Lh5Encoder::Literal(uint8_t c) {
  codes_.push_back(c);
  ++cFreq_[c];
  if (static_cast<int>(codes_.size()) >= params_.blockSymbols) SendBlock();
}

void Lh5Encoder::Match(int len, int dist) {
  const int code = 256 + len - kMinMatch;
  codes_.push_back(static_cast<uint16_t>(code));
  ++cFreq_[code];
  const auto v = static_cast<uint16_t>(dist - 1);
  dists_.push_back(v);
  ++pFreq_[PosSymbol(v)];
  if (static_cast<int>(codes_.size()) >= params_.blockSymbols) SendBlock();
}

// Code lengths of the pre-tree or the position tree: 3 bits each, or for 7
// and more "111" and then one 1 bit per step above 7 and a closing 0. After
// entry `special` (pre-tree only) 2 bits count zero lengths to skip.
void Lh5Encoder::WritePtLens(const uint8_t* lens, int n, int nbit, int special) {
  while (n > 0 && lens[n - 1] == 0) --n;
  out_.Put(nbit, n);
  int i = 0;
  while (i < n) {
    const int k = lens[i++];
    if (k <= 6) {
      out_.Put(3, k);
    } else {
      out_.Put(k - 3, (1u << (k - 3)) - 2);
    }
    if (i == special) {
      while (i < 6 && i < n && lens[i] == 0) ++i;
      out_.Put(2, i - special);
    }
  }
}

// Literal/length code lengths through the pre-tree; runs of zero lengths
// use pre-tree symbols 0 (one zero), 1 (3 to 18 zeros) and 2 (20 or more).
void Lh5Encoder::WriteCLens() {
  int n = kNC;
  while (n > 0 && cLen_[n - 1] == 0) --n;
  out_.Put(kCBits, n);
  int i = 0;
  while (i < n) {
    const int k = cLen_[i++];
    if (k != 0) {
      out_.Put(tLen_[k + 2], tCode_[k + 2]);
      continue;
    }
    int count = 1;
    while (i < n && cLen_[i] == 0) {
      ++i;
      ++count;
    }
    if (count <= 2) {
      for (int j = 0; j < count; ++j) out_.Put(tLen_[0], tCode_[0]);
    } else if (count <= 18) {
      out_.Put(tLen_[1], tCode_[1]);
      out_.Put(4, count - 3);
    } else if (count == 19) {
      out_.Put(tLen_[0], tCode_[0]);
      out_.Put(tLen_[1], tCode_[1]);
      out_.Put(4, 15);
    } else {
      out_.Put(tLen_[2], tCode_[2]);
      out_.Put(kCBits, count - 20);
    }
  }
}

void Lh5Encoder::SendBlock() {
  if (codes_.empty()) return;
  out_.Put(16, static_cast<uint32_t>(codes_.size()));

  int single = -1;
  if (BuildLengths(cFreq_, kNC, cLen_, &single) == 1) {
    // One literal/length symbol: empty pre-tree, then the symbol alone.
    out_.Put(kTBits, 0);
    out_.Put(kTBits, 0);
    out_.Put(kCBits, 0);
    out_.Put(kCBits, single);
    std::fill(std::begin(cCode_), std::end(cCode_), 0);
  } else {
    MakeCodes(cLen_, kNC, cCode_);
    // Pre-tree frequencies follow exactly what WriteCLens will send.
    uint32_t tFreq[kNT] = {};
    int n = kNC;
    while (n > 0 && cLen_[n - 1] == 0) --n;
    for (int i = 0; i < n;) {
      const int k = cLen_[i++];
      if (k != 0) {
        ++tFreq[k + 2];
        continue;
      }
      int count = 1;
      while (i < n && cLen_[i] == 0) {
        ++i;
        ++count;
      }
      if (count <= 2) {
        tFreq[0] += count;
      } else if (count <= 18) {
        ++tFreq[1];
      } else if (count == 19) {
        ++tFreq[0];
        ++tFreq[1];
      } else {
        ++tFreq[2];
      }
    }
    if (BuildLengths(tFreq, kNT, tLen_, &single) == 1) {
      out_.Put(kTBits, 0);
      out_.Put(kTBits, single);
      std::fill(std::begin(tCode_), std::end(tCode_), 0);
    } else {
      MakeCodes(tLen_, kNT, tCode_);
      WritePtLens(tLen_, kNT, kTBits, 3);
    }
    WriteCLens();
  }

  const int used = BuildLengths(pFreq_, np_, pLen_, &single);
  if (used <= 1) {
    out_.Put(pBits_, 0);
    out_.Put(pBits_, used == 1 ? single : 0);
    std::fill(std::begin(pCode_), std::end(pCode_), 0);
  } else {
    MakeCodes(pLen_, np_, pCode_);
    WritePtLens(pLen_, np_, pBits_, -1);
  }

  size_t d = 0;
  for (const uint16_t c : codes_) {
    out_.Put(cLen_[c], cCode_[c]);
    if (c >= 256) {
      const unsigned v = dists_[d++];
      const int sym = PosSymbol(v);
      out_.Put(pLen_[sym], pCode_[sym]);
      if (sym > 1) out_.Put(sym - 1, v);
    }
  }

  codes_.clear();
  dists_.clear();
  std::fill(std::begin(cFreq_), std::end(cFreq_), 0);
  std::fill(std::begin(pFreq_), std::end(pFreq_), 0);
}

}  // namespace lha::detail
