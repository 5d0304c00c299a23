// -lh5- compressor: LZSS over an 8 KiB window, coded in Huffman blocks. The
// input is cut into chunks; the matches of every chunk position come from a
// binary-tree match finder, and the chunk is parsed as the cheapest path
// through them under the code lengths the chunk's symbols will get, found
// again with the lengths of the previous path a pass or two. The same coder
// makes -lh6- and -lh7- (32 and 64 KiB windows) when asked. Input is pushed
// in pieces of any size; output collects in a BitWriter that the caller
// drains.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "bit_writer.h"
#include "lh5_format.h"
#include "lh5_match_finder.h"

namespace lha::detail {

// Search and parse settings. Deeper searches and more passes gain little
// over the defaults: the 8 KiB window, not the search, sets the limit.
struct Lh5Params {
  int depth = 16;          // tree nodes visited per position (1 to 64)
  int niceLength = 96;     // a match this long is taken whole, unsearched inside
  int passes = 1;          // cost-based parses per chunk (a stream's first: one more)
  int chunkBytes = 32768;  // input parsed at once (at most 65535)
  int blockSymbols = 65535;  // codes per Huffman block (at most 65535)
};

class Lh5Encoder {
 public:
  // dicBits: 13 for -lh5-, 15 for -lh6-, 16 for -lh7-.
  explicit Lh5Encoder(const Lh5Params& params = {}, int dicBits = kLh5DicBits);
  Lh5Encoder(const Lh5Encoder&) = delete;
  Lh5Encoder& operator=(const Lh5Encoder&) = delete;

  // Starts a new stream, keeping the buffers: an archive of many small
  // members would otherwise spend its time setting up tables.
  void Reset();
  // Takes more input; codes what no later input can change.
  void Write(const uint8_t* data, size_t size);
  // Codes the rest and pads the last byte.
  void Finish();
  // Input bytes coded so far.
  uint64_t Consumed() const { return base_ + static_cast<uint64_t>(pos_); }
  BitWriter& Out() { return out_; }

 private:
  static constexpr int kMaxNP = 17;
  static constexpr int kBufSize = 1 << 19;
  // Cost unit: 1/16 bit.
  static constexpr uint32_t kBit = 16;

  void Slide();
  void Run(bool flush);
  void CodeChunk(int32_t n);
  void FindMatches(int32_t n);
  void GreedyPath(int32_t n);
  void CheapestPath(int32_t n);
  void Recount(int32_t n);
  void SetCosts(const uint32_t* cFreq, const uint32_t* pFreq);
  void Literal(uint8_t c);
  void Match(int len, int dist);
  void SendBlock();
  void WritePtLens(const uint8_t* lens, int n, int nbit, int special);
  void WriteCLens();

  Lh5Params params_;
  int window_;    // bytes a match may reach back, the decoder's ring size
  int np_;        // position tree symbols
  int pBits_;     // bits of the position tree's size field
  std::vector<uint8_t> buf_;      // window and lookahead, padded for word reads
  int32_t pos_ = 0;               // next position to code
  int32_t end_ = 0;               // end of valid input in buf_
  uint64_t base_ = 0;             // input offset of buf_[0]
  Lh5MatchFinder finder_;

  // The chunk being parsed: matches of each position (matchStart_[i] to
  // matchStart_[i + 1], rising length), the chosen path (pathLen_ 1 for a
  // literal) and the cost of the cheapest path from each position on.
  std::vector<Lh5Match> matches_;
  std::vector<uint32_t> matchStart_;
  std::vector<uint16_t> pathLen_;
  std::vector<uint16_t> pathDist_;
  std::vector<uint32_t> cost_;
  uint32_t symbolCost_[kNC] = {};   // literal/length symbols
  uint32_t distCost_[kMaxNP] = {};  // position symbols with their extra bits
  bool haveCosts_ = false;          // costs from an earlier chunk of the stream

  // The block being collected.
  std::vector<uint16_t> codes_;   // literal or length code
  std::vector<uint16_t> dists_;   // distance minus one, for length codes
  uint32_t cFreq_[kNC] = {};
  uint32_t pFreq_[kMaxNP] = {};
  uint8_t cLen_[kNC] = {};
  uint16_t cCode_[kNC] = {};
  uint8_t tLen_[kNT] = {};
  uint16_t tCode_[kNT] = {};
  uint8_t pLen_[kMaxNP] = {};
  uint16_t pCode_[kMaxNP] = {};

  BitWriter out_;
};

}  // namespace lha::detail
