// bzip2 on every core. The plain stream is cut into blocks exactly where
// libbz2 would cut it; each block is compressed alone by libbz2 on a worker
// and the blocks' bits are stitched into one stream, which comes out byte
// for byte as `bzip2 -N` would write it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/OrderedWork.h"
#include "common/OutputStage.h"

namespace arc {

class Bzip2Stage : public OutputStage {
 public:
  // `level` 1..9: blocks of level x 100000 bytes.
  explicit Bzip2Stage(int level);

  void Write(const uint8_t* data, size_t size) override;
  void Finish() override;

 private:
  // Hands the first `end` bytes of the block to a worker; the rest starts
  // the next block.
  void SubmitBlock(size_t end, size_t coded);
  void AppendBits(const uint8_t* src, uint64_t count);
  void AppendValue(uint64_t value, unsigned count);
  void EmitWholeBytes();

  const int level_;
  const size_t blockLimit_;  // a block is full at this run-length coded size
  // The block being filled: its plain bytes, its run-length coded size
  // without the pending run, and the pending run.
  std::vector<uint8_t> block_;
  size_t coded_ = 0;
  int runByte_ = -1;
  unsigned runLength_ = 0;
  size_t runStart_ = 0;
  // Plain bytes handed to workers and not yet delivered.
  size_t inFlight_ = 0;
  // The output's bits not yet written: whole bytes and a last partial one.
  std::vector<uint8_t> bits_;
  unsigned partialBits_ = 0;
  uint32_t combinedCrc_ = 0;
  // Last: its workers stop before the members they deliver to go.
  OrderedWork work_;
};

}  // namespace arc
