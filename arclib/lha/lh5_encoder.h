// -lh5- compressor: LZSS over an 8 KiB window with hash chains and lazy
// matching, coded in Huffman blocks. The same coder makes -lh6- and -lh7-
// (32 and 64 KiB windows) when asked. Input is pushed in pieces of any size;
// output collects in a BitWriter that the caller drains.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "bit_writer.h"
#include "lh5_format.h"

namespace lha::detail {

// Match finder settings; the defaults trade speed and size like gzip -6.
struct Lh5Params {
  int maxChain = 128;   // hash chain entries tried per position
  int goodLength = 8;   // a previous match this long quarters the chain
  int maxLazy = 16;     // a previous match this long is taken without a second look
  int niceLength = 128; // a match this long ends the search
  int tooFar = 4096;    // a 3-byte match further back costs more than 3 literals
  int blockSymbols = 16384;  // codes per Huffman block (at most 65535)
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
  static constexpr int kHashBits = 15;
  static constexpr int kBufSize = 1 << 19;
  static constexpr int kMinLookahead = kMaxMatch + kMinMatch + 1;
  static constexpr int32_t kNil = INT32_MIN / 2;

  void Slide();
  void Run(bool flush);
  int32_t Insert(int32_t p);
  int LongestMatch(int32_t cur, int32_t cand, int prevLen, int* dist) const;
  void Literal(uint8_t c);
  void Match(int len, int dist);
  void SendBlock();
  void WritePtLens(const uint8_t* lens, int n, int nbit, int special);
  void WriteCLens();

  Lh5Params params_;
  int window_;    // bytes a match may reach back, the decoder's ring size
  int maxDist_;   // kept one short of the ring size
  int prevSize_;  // chain table size, above maxDist_ so that chains stay valid
  int np_;        // position tree symbols
  int pBits_;     // bits of the position tree's size field
  std::vector<uint8_t> buf_;      // window and lookahead, padded for word reads
  int32_t pos_ = 0;               // next position to code
  int32_t end_ = 0;               // end of valid input in buf_
  uint64_t base_ = 0;             // input offset of buf_[0]
  std::vector<int32_t> head_;
  std::vector<int32_t> prev_;

  // Lazy matching state across calls.
  int matchLen_ = kMinMatch - 1;
  int matchDist_ = 0;
  bool matchAvailable_ = false;

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
