#include "lh5_encoder.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "huffman.h"

namespace lha::detail {

namespace {

// Position symbol of a distance minus one: its bit length.
inline int PosSymbol(unsigned v) { return v == 0 ? 0 : std::bit_width(v); }

}  // namespace

Lh5Encoder::Lh5Encoder(const Lh5Params& params, int dicBits)
    : params_(params),
      window_(1 << std::clamp(dicBits, kLh5DicBits, 16)),
      np_(window_ <= (1 << kLh5DicBits) ? kLh5NP : std::bit_width(static_cast<unsigned>(window_))),
      pBits_(np_ < 16 ? 4 : 5),
      buf_(kBufSize + 8, 0),
      finder_(window_) {
  params_.blockSymbols = std::clamp(params_.blockSymbols, 1, 65535);
  params_.niceLength = std::clamp(params_.niceLength, kMinMatch, kMaxMatch);
  params_.depth = std::clamp(params_.depth, 1, 64);
  params_.passes = std::clamp(params_.passes, 1, 8);
  params_.chunkBytes = std::clamp(params_.chunkBytes, 1, 65535);
  const auto chunk = static_cast<size_t>(params_.chunkBytes);
  matches_.resize(chunk * static_cast<size_t>(params_.depth));
  matchStart_.resize(chunk + 1);
  pathLen_.resize(chunk + 1);
  pathDist_.resize(chunk + 1);
  cost_.resize(chunk + 1);
  codes_.reserve(static_cast<size_t>(std::min(params_.blockSymbols, params_.chunkBytes)));
}

void Lh5Encoder::Reset() {
  pos_ = end_ = 0;
  base_ = 0;
  finder_.Reset();
  haveCosts_ = false;
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

// Drops input older than the window; the shift is a multiple of the window
// so that the match finder's tree slots keep their meaning.
void Lh5Encoder::Slide() {
  const int32_t shift = (pos_ - window_) / window_ * window_;
  if (shift <= 0) return;
  std::memmove(buf_.data(), buf_.data() + shift, static_cast<size_t>(end_ - shift));
  pos_ -= shift;
  end_ -= shift;
  base_ += static_cast<uint64_t>(shift);
  finder_.Rebase(shift);
}

// A chunk is coded once the longest match from its last position can be
// seen, or at the end of the input.
void Lh5Encoder::Run(bool flush) {
  for (;;) {
    const int32_t avail = end_ - pos_;
    if (avail == 0 || (!flush && avail < params_.chunkBytes + kMaxMatch)) break;
    CodeChunk(std::min(avail, params_.chunkBytes));
  }
}

void Lh5Encoder::CodeChunk(int32_t n) {
  FindMatches(n);
  // The first chunk of a stream starts from the greedy path's symbols, the
  // others from the symbols of the chunk before, which are usually closer.
  // A first chunk's start is further off and it gets one pass more.
  int passes = params_.passes;
  if (!haveCosts_) {
    GreedyPath(n);
    Recount(n);
    ++passes;
  }
  for (int pass = 0; pass < passes; ++pass) {
    CheapestPath(n);
    Recount(n);
  }
  haveCosts_ = true;
  for (int32_t i = 0; i < n;) {
    const int len = pathLen_[i];
    if (len == 1) {
      Literal(buf_[pos_ + i]);
    } else {
      Match(len, pathDist_[i]);
    }
    i += len;
  }
  SendBlock();
  pos_ += n;
}

// Every chunk position goes into the match finder, so that later positions
// find it; inside a match of niceLength or more no matches are kept, as the
// parse will hardly leave so long a match. Matches are cut at the chunk's
// end: the parse of the chunk ends there.
void Lh5Encoder::FindMatches(int32_t n) {
  uint32_t used = 0;
  int32_t skipTo = 0;
  for (int32_t i = 0; i < n; ++i) {
    matchStart_[i] = used;
    const int32_t p = pos_ + i;
    const int maxLen = std::min(kMaxMatch, end_ - p);
    if (maxLen < kMinMatch) continue;
    if (i < skipTo) {
      finder_.Insert(buf_.data(), p, maxLen, params_.niceLength, params_.depth, nullptr);
      continue;
    }
    Lh5Match* m = &matches_[used];
    int k = finder_.Insert(buf_.data(), p, maxLen, params_.niceLength, params_.depth, m);
    const int room = n - i;
    if (room < kMinMatch) continue;
    while (k > 1 && m[k - 2].len >= room) --k;
    if (k > 0 && m[k - 1].len > room) m[k - 1].len = static_cast<uint16_t>(room);
    used += static_cast<uint32_t>(k);
    if (k > 0 && m[k - 1].len >= params_.niceLength) skipTo = i + m[k - 1].len;
  }
  matchStart_[n] = used;
}

// The first estimate: the longest match wherever there is one.
void Lh5Encoder::GreedyPath(int32_t n) {
  for (int32_t i = 0; i < n;) {
    const uint32_t k = matchStart_[i + 1] - matchStart_[i];
    if (k == 0) {
      pathLen_[i] = 1;
      ++i;
      continue;
    }
    const Lh5Match& m = matches_[matchStart_[i + 1] - 1];
    pathLen_[i] = m.len;
    pathDist_[i] = m.dist;
    i += m.len;
  }
}

void Lh5Encoder::Recount(int32_t n) {
  uint32_t cFreq[kNC] = {}, pFreq[kMaxNP] = {};
  for (int32_t i = 0; i < n;) {
    const int len = pathLen_[i];
    if (len == 1) {
      ++cFreq[buf_[pos_ + i]];
    } else {
      ++cFreq[256 + len - kMinMatch];
      ++pFreq[PosSymbol(pathDist_[i] - 1u)];
    }
    i += len;
  }
  SetCosts(cFreq, pFreq);
}

// Costs are the code lengths the counted symbols would get; a symbol that
// did not occur gets a length longer than any that did, so that the next
// path takes it only where it saves much.
void Lh5Encoder::SetCosts(const uint32_t* cFreq, const uint32_t* pFreq) {
  uint8_t lens[kNC];
  int single = -1;
  BuildLengths(cFreq, kNC, lens, &single);
  const int cMax = *std::max_element(lens, lens + kNC);
  for (int s = 0; s < kNC; ++s) {
    symbolCost_[s] = (lens[s] ? lens[s] : std::min(cMax + 2, kMaxCodeBits)) * kBit;
  }
  if (single >= 0) symbolCost_[single] = 0;
  BuildLengths(pFreq, np_, lens, &single);
  const int pMax = *std::max_element(lens, lens + np_);
  for (int s = 0; s < np_; ++s) {
    const uint32_t extra = s > 1 ? static_cast<uint32_t>(s - 1) : 0;
    distCost_[s] = ((lens[s] ? lens[s] : std::min(pMax + 2, kMaxCodeBits)) + extra) * kBit;
  }
  if (single >= 0) distCost_[single] = (single > 1 ? static_cast<uint32_t>(single - 1) : 0) * kBit;
}

// Shortest path from the chunk's end backwards: at each position the
// literal or any length of any match, whichever leads to the smallest
// total. A length shorter than a match's own is tried at the distance of
// the shortest listed match that reaches it.
void Lh5Encoder::CheapestPath(int32_t n) {
  cost_[n] = 0;
  const uint8_t* in = buf_.data() + pos_;
  for (int32_t i = n - 1; i >= 0; --i) {
    // Candidates as cost << 16 | length: the smallest is the cheapest, the
    // shortest of equal cost, and it is found without branches.
    uint64_t best = static_cast<uint64_t>(cost_[i + 1] + symbolCost_[in[i]]) << 16 | 1;
    uint16_t bestDist = 0;
    int len = kMinMatch;
    const uint32_t* next = &cost_[i];
    for (uint32_t k = matchStart_[i]; k < matchStart_[i + 1]; ++k) {
      const Lh5Match m = matches_[k];
      const uint32_t dc = distCost_[PosSymbol(m.dist - 1u)];
      uint64_t here = UINT64_MAX;
      for (; len <= m.len; ++len) {
        const uint32_t c = symbolCost_[256 + len - kMinMatch] + dc + next[len];
        here = std::min(here, static_cast<uint64_t>(c) << 16 | static_cast<uint32_t>(len));
      }
      if (here < best) {
        best = here;
        bestDist = m.dist;
      }
    }
    cost_[i] = static_cast<uint32_t>(best >> 16);
    pathLen_[i] = static_cast<uint16_t>(best);
    pathDist_[i] = bestDist;
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
