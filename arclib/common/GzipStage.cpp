#include "common/GzipStage.h"

#include <libdeflate.h>
#include <zlib.h>

#include <ctime>
#include <memory>

#include "common/LittleEndian.h"

namespace arc {

namespace {

struct Piece {
  std::vector<uint8_t> data, packed;
  size_t size = 0;
  uint32_t crc = 0;
};


}  // namespace

GzipStage::GzipStage(int level, size_t pieceSize)
    : level_(level), pieceSize_(pieceSize) {
  piece_.reserve(pieceSize_);
}

void GzipStage::WriteHeader() {
  if (headerWritten_) return;
  headerWritten_ = true;
  // No name or comment; the time of packing, as tar's gzip filter gave;
  // the extra flags tell the fastest and the tightest levels; Unix.
  std::vector<uint8_t> header;
  LeBytes(header).U8(0x1f).U8(0x8b).U8(8).U8(0).U32(static_cast<uint32_t>(std::time(nullptr)));
  LeBytes(header).U8(level_ >= 9 ? 2 : level_ == 1 ? 4 : 0).U8(3);
  Emit(header.data(), header.size());
}

void GzipStage::SubmitPiece(bool last) {
  auto piece = std::make_shared<Piece>();
  piece->data.swap(piece_);
  piece_.reserve(pieceSize_);
  const int level = level_;
  work_.Submit(
      [piece, level, last] {
        piece->size = piece->data.size();
        piece->crc = static_cast<uint32_t>(libdeflate_crc32(0, piece->data.data(), piece->size));
        piece->packed = DeflatePiece(level, piece->data.data(), piece->size, last);
        std::vector<uint8_t>().swap(piece->data);
      },
      [this, piece] {
        Emit(piece->packed.data(), piece->packed.size());
        crc_ = static_cast<uint32_t>(crc32_combine(crc_, piece->crc, static_cast<z_off_t>(piece->size)));
        size_ += piece->size;
      });
}

void GzipStage::Write(const uint8_t* data, size_t size) {
  WriteHeader();
  while (size != 0) {
    // A full piece goes only when more follows: the last piece is never
    // an empty one.
    if (piece_.size() == pieceSize_) SubmitPiece(false);
    const size_t take = std::min(size, pieceSize_ - piece_.size());
    piece_.insert(piece_.end(), data, data + take);
    data += take;
    size -= take;
  }
}

void GzipStage::Finish() {
  WriteHeader();
  SubmitPiece(true);
  work_.Drain();
  std::vector<uint8_t> trailer;
  LeBytes(trailer).U32(crc_).U32(static_cast<uint32_t>(size_));
  Emit(trailer.data(), trailer.size());
}

}  // namespace arc
