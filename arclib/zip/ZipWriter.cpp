#include "zip/ZipWriter.h"

#include <libdeflate.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "archives/ArchiverDll.h"
#include "common/DeflatePiece.h"
#include "common/DosTime.h"
#include "common/Failure.h"
#include "common/LittleEndian.h"
#include "common/WinNames.h"

namespace zip {

namespace {

using arc::Failure;

constexpr uint32_t kMax32 = 0xFFFFFFFFu;
constexpr uint16_t kStored = 0, kDeflated = 8;
// A member this large may outgrow 32 bits once deflated (stored blocks
// add a few bytes per 64 KiB), so it gets ZIP64 sizes from the start.
constexpr uint64_t kZip64From = 0xF0000000u;

using Bytes = arc::LeBytes;

// The extended timestamp (modification time only): Unix readers keep the
// exact second and no time zone is guessed.
void Timestamp(Bytes& b, time_t mtime) {
  const int64_t t = std::clamp<int64_t>(static_cast<int64_t>(mtime), INT32_MIN, INT32_MAX);
  b.U16(0x5455).U16(5).U8(1).U32(static_cast<uint32_t>(static_cast<int32_t>(t)));
}

}  // namespace

struct ZipWriter::Member {
  ZipMember info;
  Written written;
  bool zip64 = false;
  uint16_t method = kDeflated;
  int level = 0;             // libdeflate's
  uint64_t header = 0;       // offset of the local header
  uint64_t original = 0, compressed = 0;
  uint32_t crc = 0;
  bool started = false;      // its first piece is submitted
};

struct ZipWriter::Piece {
  std::shared_ptr<Member> member;
  std::shared_ptr<std::vector<uint8_t>> input;
  std::vector<uint8_t> output;
  size_t size = 0;
  uint32_t crc = 0;
  bool first = false, last = false, stored = false;
};

int ZipWriter::DeflateLevel(int zipLevel, uint64_t memberSize) {
  // Measured on mixed text, records, logs and noise: libdeflate's level 10
  // (near-optimal parsing) packs smaller than 7-Zip's deflate at its normal
  // setting, at twice the time of its level 9. Members under 64 KiB, most
  // of a folder of documents, take level 9: a folder of them is packed in
  // two thirds of the time zip -6 takes, still smaller than 7-Zip's, for
  // about 1% more than level 10 would give. The lower zip levels keep
  // their speed.
  static const int large[10] = {0, 1, 2, 3, 4, 6, 10, 10, 11, 12};
  static const int small[10] = {0, 1, 2, 3, 4, 6, 9, 9, 11, 12};
  const size_t i = zipLevel < 0 ? 6 : static_cast<size_t>(std::min(zipLevel, 9));
  return memberSize < kSmallMember ? small[i] : large[i];
}

ZipWriter::ZipWriter(const std::string& archivePosix, const std::string& shownName, int level)
    : shown_(shownName), zipLevel_(level) {
  // Tests set ARCLIB_ZIP64=always to write every ZIP64 record a
  // four-gigabyte archive would have, on small files.
  const char* force = std::getenv("ARCLIB_ZIP64");
  forceZip64_ = force != nullptr && std::strcmp(force, "always") == 0;
  if (!file_.Open(archivePosix, 0666))
    throw Failure(ARCERR_TMP_OPEN, "cannot create a file beside " + shownName + ": " + std::strerror(errno));
}

ZipWriter::~ZipWriter() = default;

void ZipWriter::Append(const void* data, size_t size) {
  if (!arc::WriteAll(file_.Fd(), data, size)) throw arc::WriteFailure(shown_);
  offset_ += size;
}

void ZipWriter::Put(const void* data, size_t size, uint64_t at) {
  if (!arc::WriteAllAt(file_.Fd(), data, size, at)) throw arc::WriteFailure(shown_);
}

void ZipWriter::Begin(const ZipMember& info, Written written) {
  if (info.name.size() + 1 > 0xFFFF)
    throw Failure(ARCERR_NOT_FILENAME, "the name is too long for a ZIP archive: " + arc::Cp932ForReport(info.name));
  member_ = std::make_shared<Member>();
  member_->info = info;
  member_->written = std::move(written);
  member_->zip64 = forceZip64_ || (!info.directory && info.size >= kZip64From);
  member_->level = DeflateLevel(zipLevel_, info.size);
  member_->method = info.directory || info.symlink || member_->level == 0 ? kStored : kDeflated;
  buffer_ = std::make_shared<std::vector<uint8_t>>();
}

void ZipWriter::Write(const void* data, size_t size) {
  const auto* p = static_cast<const uint8_t*>(data);
  while (size > 0) {
    if (buffer_->size() == arc::kDeflatePieceSize) Submit(false);
    const size_t n = std::min(size, arc::kDeflatePieceSize - buffer_->size());
    if (buffer_->capacity() == 0) buffer_->reserve(std::min(arc::kDeflatePieceSize, std::max<size_t>(n, 1 << 16)));
    buffer_->insert(buffer_->end(), p, p + n);
    p += n;
    size -= n;
  }
}

void ZipWriter::End() {
  Submit(true);
  member_.reset();
  buffer_.reset();
}

void ZipWriter::Submit(bool last) {
  auto piece = std::make_shared<Piece>();
  piece->member = member_;
  piece->input = std::move(buffer_);
  piece->size = piece->input->size();
  piece->first = !member_->started;
  piece->last = last;
  member_->started = true;
  buffer_ = std::make_shared<std::vector<uint8_t>>();
  const int level = member_->level;
  const bool deflate = member_->method == kDeflated;
  work_.Submit(
      [piece, level, deflate] {
        const std::vector<uint8_t>& in = *piece->input;
        piece->crc = static_cast<uint32_t>(libdeflate_crc32(0, in.data(), in.size()));
        if (deflate) {
          const int used = arc::LooksIncompressible(in.data(), in.size()) ? 1 : level;
          piece->output = arc::DeflatePiece(used, in.data(), in.size(), piece->last);
          // A member in one piece that deflate cannot shrink is stored.
          piece->stored = piece->first && piece->last && piece->output.size() >= in.size();
        } else {
          piece->stored = true;
        }
        if (piece->stored) piece->output.clear();
        else piece->input.reset();
      },
      [this, piece] { Deliver(*piece); });
}

void ZipWriter::Deliver(Piece& piece) {
  Member& m = *piece.member;
  const std::vector<uint8_t>& data = piece.stored ? *piece.input : piece.output;
  const ZipMember& info = m.info;
  const uint16_t flags = arc::IsAscii(info.name) ? 0 : 0x0800;
  const std::string name = info.directory ? info.name + "/" : info.name;
  uint16_t time = 0, date = 0;
  arc::ToDosTime(info.mtime, time, date);
  auto needed = [&] { return static_cast<uint16_t>(m.zip64 ? 45 : m.method == kDeflated || info.directory ? 20 : 10); };
  if (piece.first) {
    if (piece.stored) m.method = kStored;
    m.header = offset_;
    m.crc = piece.crc;
  } else {
    m.crc = static_cast<uint32_t>(crc32_combine(m.crc, piece.crc, static_cast<z_off_t>(piece.size)));
  }
  m.original += piece.size;
  m.compressed += data.size();
  if (!m.zip64 && (m.original > kMax32 || m.compressed > kMax32))
    throw Failure(ARCERR_CANNOT_WRITE, "cannot write " + shown_ + ": " + arc::Cp932ForReport(name) +
                                           " grew past 4 GiB while it was read");
  const bool whole = piece.first && piece.last;
  if (piece.first) {
    std::vector<uint8_t> header;
    Bytes b(header);
    b.U32(0x04034b50).U16(needed()).U16(flags).U16(m.method).U16(time).U16(date);
    b.U32(whole ? m.crc : 0);
    if (m.zip64)
      b.U32(kMax32).U32(kMax32);
    else
      b.U32(whole ? static_cast<uint32_t>(m.compressed) : 0).U32(whole ? static_cast<uint32_t>(m.original) : 0);
    b.U16(static_cast<uint32_t>(name.size())).U16((m.zip64 ? 20 : 0) + 9).Text(name);
    if (m.zip64) b.U16(0x0001).U16(16).U64(whole ? m.original : 0).U64(whole ? m.compressed : 0);
    Timestamp(b, info.mtime);
    Append(header.data(), header.size());
  }
  Append(data.data(), data.size());
  if (!piece.last) return;
  if (!whole) {
    std::vector<uint8_t> fix;
    Bytes(fix).U32(m.crc);
    Put(fix.data(), 4, m.header + 14);
    fix.clear();
    if (m.zip64) {
      Bytes(fix).U64(m.original).U64(m.compressed);
      Put(fix.data(), fix.size(), m.header + 30 + name.size() + 4);
    } else {
      Bytes(fix).U32(static_cast<uint32_t>(m.compressed)).U32(static_cast<uint32_t>(m.original));
      Put(fix.data(), fix.size(), m.header + 18);
    }
  }
  // The central directory's record of the member.
  const bool farOffset = forceZip64_ || m.header >= kMax32;
  std::vector<uint8_t> extra;
  Bytes e(extra);
  if (m.zip64 || farOffset) {
    e.U16(0x0001).U16((m.zip64 ? 16 : 0) + (farOffset ? 8 : 0));
    if (m.zip64) e.U64(m.original).U64(m.compressed);
    if (farOffset) e.U64(m.header);
  }
  Timestamp(e, info.mtime);
  const mode_t type = info.directory ? S_IFDIR : info.symlink ? S_IFLNK : S_IFREG;
  const uint32_t attributes = static_cast<uint32_t>(type | (info.mode & 0777)) << 16 | (info.directory ? 0x10 : 0);
  Bytes c(central_);
  c.U32(0x02014b50).U16(0x031E).U16(needed()).U16(flags).U16(m.method).U16(time).U16(date).U32(m.crc);
  if (m.zip64)
    c.U32(kMax32).U32(kMax32);
  else
    c.U32(static_cast<uint32_t>(m.compressed)).U32(static_cast<uint32_t>(m.original));
  c.U16(static_cast<uint32_t>(name.size())).U16(static_cast<uint32_t>(extra.size())).U16(0).U16(0).U16(0);
  c.U32(attributes).U32(farOffset ? kMax32 : static_cast<uint32_t>(m.header)).Text(name);
  central_.insert(central_.end(), extra.begin(), extra.end());
  ++entries_;
  if (m.written) m.written(m.original, m.compressed);
}

uint64_t ZipWriter::Commit() {
  work_.Drain();
  const uint64_t start = offset_, size = central_.size();
  Append(central_.data(), central_.size());
  std::vector<uint8_t> end;
  Bytes b(end);
  const bool zip64 = forceZip64_ || entries_ >= 0xFFFF || start >= kMax32 || size >= kMax32;
  if (zip64) {
    const uint64_t record = offset_;
    b.U32(0x06064b50).U64(44).U16(0x031E).U16(45).U32(0).U32(0).U64(entries_).U64(entries_).U64(size).U64(start);
    b.U32(0x07064b50).U32(0).U64(record).U32(1);
  }
  const bool manyEntries = forceZip64_ || entries_ >= 0xFFFF;
  const uint32_t count = manyEntries ? 0xFFFF : static_cast<uint32_t>(entries_);
  b.U32(0x06054b50).U16(0).U16(0).U16(count).U16(count);
  b.U32(forceZip64_ || size >= kMax32 ? kMax32 : static_cast<uint32_t>(size));
  b.U32(forceZip64_ || start >= kMax32 ? kMax32 : static_cast<uint32_t>(start)).U16(0);
  Append(end.data(), end.size());
  if (!file_.Commit()) throw arc::WriteFailure(shown_);
  return offset_;
}

}  // namespace zip
