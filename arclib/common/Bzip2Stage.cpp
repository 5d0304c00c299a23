#include "common/Bzip2Stage.h"

#include <bzlib.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "archives/ArchiverDll.h"
#include "common/Failure.h"

namespace arc {

namespace {

constexpr uint64_t kBlockMagic = 0x314159265359;
constexpr uint64_t kEndMagic = 0x177245385090;
// Plain bytes in flight at most, beside the block being filled: a block of
// long runs holds up to 51 times its coded size (46 MB at level 9).
constexpr size_t kInFlightBudget = size_t(48) << 20;
// Input is scanned in slices, so that a huge Write never copies much
// when a block is cut.
constexpr size_t kSlice = size_t(64) << 10;

struct Block {
  std::vector<uint8_t> data;  // plain bytes; freed once compressed
  size_t plain = 0;
  size_t coded = 0;
  std::vector<uint8_t> stream;  // the one-block stream libbz2 made
  uint64_t bits = 0;            // the block's bits, from byte 4 on
  uint32_t crc = 0;
};

uint64_t ReadBits(const std::vector<uint8_t>& s, uint64_t at, unsigned count) {
  uint64_t v = 0;
  for (unsigned i = 0; i < count; ++i, ++at) v = v << 1 | ((s[at >> 3] >> (7 - (at & 7))) & 1u);
  return v;
}

[[noreturn]] void Broken() { throw Failure(ARCERR_CANNOT_WRITE, "the bzip2 compressor made a stream that cannot be joined"); }

// libbz2 takes some 7.6 MB for each stream it makes: kept by each thread
// for its next block, so that every block does not fault in fresh pages.
class BzMemory {
 public:
  ~BzMemory() {
    for (void* p : kept_) std::free(p);
  }
  void* Take(size_t size) {
    for (size_t i = 0; i < kept_.size(); ++i)
      if (SizeOf(kept_[i]) == size) {
        void* p = kept_[i];
        kept_.erase(kept_.begin() + static_cast<std::ptrdiff_t>(i));
        return static_cast<char*>(p) + kHeader;
      }
    void* p = std::malloc(size + kHeader);
    if (p == nullptr) return nullptr;
    *static_cast<size_t*>(p) = size;
    return static_cast<char*>(p) + kHeader;
  }
  void Give(void* user) {
    void* p = static_cast<char*>(user) - kHeader;
    if (kept_.size() < 8) {
      kept_.push_back(p);
    } else {
      std::free(p);
    }
  }

 private:
  static constexpr size_t kHeader = 16;
  static size_t SizeOf(void* p) { return *static_cast<size_t*>(p); }
  std::vector<void*> kept_;
};

thread_local BzMemory bzMemory;

void* BzAlloc(void*, int items, int size) {
  return bzMemory.Take(static_cast<size_t>(items) * static_cast<size_t>(size));
}
void BzFree(void*, void* p) {
  if (p != nullptr) bzMemory.Give(p);
}

struct CompressEnd {
  bz_stream* z;
  ~CompressEnd() { BZ2_bzCompressEnd(z); }
};

// One whole stream of `b.data` into `b.stream`, as libbz2's one-call
// compression makes it. False when the room was too small.
bool CompressWhole(Block& b, int level) {
  bz_stream z{};
  z.bzalloc = BzAlloc;
  z.bzfree = BzFree;
  const int init = BZ2_bzCompressInit(&z, level, 0, 0);
  if (init == BZ_MEM_ERROR) throw std::bad_alloc();
  if (init != BZ_OK) throw Failure(ARCERR_CANNOT_WRITE, "the bzip2 compressor failed (" + std::to_string(init) + ")");
  CompressEnd end{&z};
  z.next_in = reinterpret_cast<char*>(b.data.data());
  z.avail_in = static_cast<unsigned int>(b.data.size());
  z.next_out = reinterpret_cast<char*>(b.stream.data());
  z.avail_out = static_cast<unsigned int>(b.stream.size());
  for (;;) {
    const int r = BZ2_bzCompress(&z, BZ_FINISH);
    if (r == BZ_STREAM_END) break;
    if (r != BZ_FINISH_OK) throw Failure(ARCERR_CANNOT_WRITE, "the bzip2 compressor failed (" + std::to_string(r) + ")");
    if (z.avail_out == 0) return false;
  }
  b.stream.resize(b.stream.size() - z.avail_out);
  return true;
}

// Compresses a block alone and finds its bits in the one-block stream:
// after the 4-byte header, up to the end-of-stream magic that is followed
// by the stream's CRC (the block's own) and 0-7 zero bits of padding.
void CompressBlock(Block& b, int level) {
  size_t room = b.coded + b.coded / 100 + 1200;
  for (;;) {
    b.stream.resize(room);
    if (CompressWhole(b, level)) break;
    if (room > 2 * (b.data.size() + b.coded) + 65536)
      throw Failure(ARCERR_CANNOT_WRITE, "the bzip2 compressor's output did not fit");
    room *= 2;
  }
  std::vector<uint8_t>().swap(b.data);
  const std::vector<uint8_t>& s = b.stream;
  if (s.size() < 4 + 10 + 10 || s[0] != 'B' || s[1] != 'Z' || s[2] != 'h' || ReadBits(s, 32, 48) != kBlockMagic)
    Broken();
  b.crc = static_cast<uint32_t>(ReadBits(s, 80, 32));
  const uint64_t total = uint64_t(s.size()) * 8;
  for (unsigned pad = 0; pad < 8; ++pad) {
    const uint64_t end = total - pad;
    if ((s.back() & ((1u << pad) - 1)) != 0) break;
    if (ReadBits(s, end - 80, 48) == kEndMagic && ReadBits(s, end - 32, 32) == b.crc) {
      b.bits = end - 80 - 32;
      return;
    }
  }
  Broken();
}

}  // namespace

Bzip2Stage::Bzip2Stage(int level)
    : level_(level), blockLimit_(size_t(100000) * static_cast<size_t>(level) - 19) {
  if (level < 1 || level > 9) throw std::invalid_argument("bzip2 level out of range");
  bits_ = {'B', 'Z', 'h', static_cast<uint8_t>('0' + level)};
}

// Appends `count` bits, most significant first, from byte-aligned `src`.
void Bzip2Stage::AppendBits(const uint8_t* src, uint64_t count) {
  const size_t whole = static_cast<size_t>(count / 8);
  const unsigned rest = static_cast<unsigned>(count % 8);
  const unsigned used = partialBits_;
  if (used == 0) {
    bits_.insert(bits_.end(), src, src + whole);
    if (rest != 0) bits_.push_back(static_cast<uint8_t>(src[whole] & (0xFF00u >> rest)));
    partialBits_ = rest;
    return;
  }
  // Every source byte fills the partial byte and starts the next one.
  bits_.reserve(bits_.size() + whole + 2);
  for (size_t i = 0; i < whole; ++i) {
    bits_.back() |= static_cast<uint8_t>(src[i] >> used);
    bits_.push_back(static_cast<uint8_t>(src[i] << (8 - used)));
  }
  if (rest != 0) {
    const uint8_t b = static_cast<uint8_t>(src[whole] & (0xFF00u >> rest));
    bits_.back() |= static_cast<uint8_t>(b >> used);
    if (used + rest > 8) bits_.push_back(static_cast<uint8_t>(b << (8 - used)));
  }
  partialBits_ = (used + rest) % 8;
}

void Bzip2Stage::AppendValue(uint64_t value, unsigned count) {
  uint8_t bytes[8];
  for (unsigned i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(value << (64 - count) >> (56 - 8 * i));
  AppendBits(bytes, count);
}

void Bzip2Stage::EmitWholeBytes() {
  const size_t whole = bits_.size() - (partialBits_ != 0 ? 1 : 0);
  Emit(bits_.data(), whole);
  bits_.erase(bits_.begin(), bits_.begin() + static_cast<std::ptrdiff_t>(whole));
}

void Bzip2Stage::SubmitBlock(size_t end, size_t coded) {
  // Long runs make big blocks: wait for those in flight rather than hold
  // many of them.
  if (inFlight_ != 0 && inFlight_ + end > kInFlightBudget) work_.Drain();
  // The block goes in a buffer of its own size; block_ keeps its room
  // for the next one.
  auto block = std::make_shared<Block>();
  block->data.assign(block_.begin(), block_.begin() + static_cast<std::ptrdiff_t>(end));
  block_.erase(block_.begin(), block_.begin() + static_cast<std::ptrdiff_t>(end));
  block->plain = end;
  block->coded = coded;
  inFlight_ += end;
  const int level = level_;
  work_.Submit([block, level] { CompressBlock(*block, level); },
               [this, block] {
                 AppendBits(block->stream.data() + 4, block->bits);
                 combinedCrc_ = (combinedCrc_ << 1 | combinedCrc_ >> 31) ^ block->crc;
                 inFlight_ -= block->plain;
                 EmitWholeBytes();
               });
}

// libbz2 first codes runs of 4 to 255 equal bytes as 4 bytes and a count;
// a block is full once that coded size reaches the limit, and the run
// pending then (its first byte) begins the next block.
void Bzip2Stage::Write(const uint8_t* data, size_t size) {
  while (size != 0) {
    const size_t take = std::min(size, kSlice);
    size_t i = block_.size();
    block_.insert(block_.end(), data, data + take);
    data += take;
    size -= take;
    size_t n = block_.size();
    while (i < n) {
      const uint8_t c = block_[i];
      if (c == runByte_ && runLength_ < 255) {
        ++runLength_;
        ++i;
        continue;
      }
      if (runLength_ != 0) coded_ += runLength_ < 4 ? runLength_ : 5;
      runByte_ = c;
      runLength_ = 1;
      runStart_ = i++;
      if (coded_ >= blockLimit_) {
        SubmitBlock(runStart_, coded_);
        i -= runStart_;
        n -= runStart_;
        runStart_ = 0;
        coded_ = 0;
      }
    }
  }
}

void Bzip2Stage::Finish() {
  if (!block_.empty()) SubmitBlock(block_.size(), coded_ + (runLength_ < 4 ? runLength_ : 5));
  work_.Drain();
  AppendValue(kEndMagic, 48);
  AppendValue(combinedCrc_, 32);
  partialBits_ = 0;  // the last byte goes as it is, padded with zeros
  EmitWholeBytes();
}

}  // namespace arc
