// gzip on every core: the plain stream is cut into pieces that libdeflate
// compresses in parallel and that join into the one deflate stream of a
// single gzip member, which every gzip reader takes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/DeflatePiece.h"
#include "common/OrderedWork.h"
#include "common/OutputStage.h"

namespace arc {

class GzipStage : public OutputStage {
 public:
  // `level` is libdeflate's (0 stores, 1 fastest ... 12 tightest).
  // `pieceSize` other than the default serves the tests.
  explicit GzipStage(int level, size_t pieceSize = kDeflatePieceSize);

  void Write(const uint8_t* data, size_t size) override;
  void Finish() override;

 private:
  void WriteHeader();
  void SubmitPiece(bool last);

  const int level_;
  const size_t pieceSize_;
  std::vector<uint8_t> piece_;
  bool headerWritten_ = false;
  uint32_t crc_ = 0;
  uint64_t size_ = 0;
  // Last: its workers stop before the members they deliver to go.
  OrderedWork work_;
};

}  // namespace arc
