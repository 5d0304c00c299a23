#include "lha_writer.h"

#include <algorithm>
#include <vector>

#include "crc16.h"
#include "lh5_encoder.h"
#include "lha_header.h"
#include "lha_reader.h"

namespace lha {

namespace {

constexpr size_t kChunk = 1 << 16;
// Compressed output ahead of the input it stands for, beyond which a member
// is taken to be incompressible and stored at once.
constexpr size_t kGiveUpExcess = 1 << 18;
// From this expected size on a header carries 64-bit sizes: the margin
// below 4 GiB lets a file that grows a little while it is read still fit.
constexpr uint64_t kSizes64From = 0xF0000000u;

}  // namespace

LhaWriter::LhaWriter(ByteSink& sink, const WriterOptions& options)
    : sink_(sink), options_(options), chunk_(kChunk) {}

LhaWriter::~LhaWriter() = default;

Result LhaWriter::Fail(Result r) {
  broken_ = true;
  return r;
}

bool LhaWriter::Write(const uint8_t* data, size_t size) {
  if (!sink_.Write(data, size)) return false;
  pos_ += size;
  return true;
}

// Copies the source as it is from its start; the CRC and the size come from
// what was actually read.
Result LhaWriter::StoreFrom(ByteSource& data, uint64_t limit, uint64_t* size, uint16_t* crc) {
  if (!data.Seek(0)) return Result::ReadError;
  std::vector<uint8_t>& chunk = chunk_;
  uint64_t total = 0;
  uint16_t c = 0;
  for (;;) {
    const std::ptrdiff_t n = data.Read(chunk.data(), chunk.size());
    if (n < 0) return Result::ReadError;
    if (n == 0) break;
    total += static_cast<uint64_t>(n);
    if (total > limit) return Result::TooLarge;
    c = Crc16Update(c, chunk.data(), static_cast<size_t>(n));
    if (!Write(chunk.data(), static_cast<size_t>(n))) return Result::WriteError;
  }
  *size = total;
  *crc = c;
  return Result::Ok;
}

Result LhaWriter::AddMember(const MemberInfo& info, std::span<const uint8_t> data,
                            AddResult* result) {
  MemorySource source(data);
  return AddMember(info, source, result);
}

Result LhaWriter::AddMember(const MemberInfo& info, ByteSource& data, AddResult* result) {
  if (broken_ || finished_) return Result::BadState;
  detail::Level2Fields f;
  if (!detail::SplitPath(info.name, &f.parts)) return Result::BadName;
  if (!info.directory) {
    if (!options_.sizes64 && info.expectedSize > UINT32_MAX) return Result::TooLarge;
    f.sizes64 = options_.sizes64 && info.expectedSize >= kSizes64From;
  }
  const uint64_t limit = f.sizes64 ? UINT64_MAX : UINT32_MAX;
  f.directory = info.directory;
  f.unixTime = info.unixTime;
  f.dosAttributes = info.directory ? static_cast<uint8_t>(info.dosAttributes | 0x10)
                                   : info.dosAttributes;
  f.osId = options_.osId;
  const char* method = options_.method == Method::Lh7   ? "-lh7-"
                       : options_.method == Method::Lh6 ? "-lh6-"
                                                        : "-lh5-";
  std::copy_n(info.directory ? "-lhd-" : method, 5, f.method);
  std::vector<uint8_t> header = detail::BuildLevel2Header(f);
  if (header.empty()) return Result::BadName;

  // The header goes first as a placeholder and is rewritten once sizes and
  // CRC are known; its length does not change.
  const uint64_t headerOffset = pos_;
  if (!Write(header.data(), header.size())) return Fail(Result::WriteError);
  const uint64_t dataOffset = pos_;

  bool stored = options_.storeOnly;
  if (!info.directory && !stored) {
    // Compressed bytes reach the sink only while they are no more than the
    // input they stand for, so that storing the member instead overwrites
    // every one of them.
    if (!encoder_) {
      const int dicBits = options_.method == Method::Lh7   ? 16
                          : options_.method == Method::Lh6 ? 15
                                                           : 13;
      encoder_ = std::make_unique<detail::Lh5Encoder>(detail::Lh5Params{}, dicBits);
    } else {
      encoder_->Reset();
    }
    detail::Lh5Encoder& encoder = *encoder_;
    std::vector<uint8_t>& chunk = chunk_;
    uint64_t total = 0;
    uint64_t sent = 0;
    uint16_t crc = 0;
    auto drain = [&](uint64_t allowed) {
      std::vector<uint8_t>& bytes = encoder.Out().Bytes();
      const size_t take = static_cast<size_t>(std::min<uint64_t>(bytes.size(), allowed));
      if (take == 0) return true;
      if (!Write(bytes.data(), take)) return false;
      bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(take));
      sent += take;
      return true;
    };
    bool givenUp = false;
    if (!data.Seek(0)) return Fail(Result::ReadError);
    for (;;) {
      const std::ptrdiff_t n = data.Read(chunk.data(), chunk.size());
      if (n < 0) return Fail(Result::ReadError);
      if (n == 0) break;
      total += static_cast<uint64_t>(n);
      if (total > limit) return Fail(Result::TooLarge);
      crc = Crc16Update(crc, chunk.data(), static_cast<size_t>(n));
      encoder.Write(chunk.data(), static_cast<size_t>(n));
      const uint64_t consumed = encoder.Consumed();
      if (!drain(consumed > sent ? consumed - sent : 0)) return Fail(Result::WriteError);
      if (encoder.Out().Bytes().size() > kGiveUpExcess) {
        givenUp = true;
        break;
      }
    }
    if (!givenUp) {
      encoder.Finish();
      const uint64_t packed = sent + encoder.Out().Bytes().size();
      if (packed < total) {
        if (!drain(UINT64_MAX)) return Fail(Result::WriteError);
        f.compressedSize = packed;
        f.originalSize = total;
        f.crc16 = crc;
      } else {
        stored = true;
      }
    } else {
      stored = true;
    }
    if (stored && !sink_.Seek(dataOffset)) return Fail(Result::WriteError);
    if (stored) pos_ = dataOffset;
  }
  if (stored && !info.directory) {
    std::copy_n("-lh0-", 5, f.method);
    const Result r = StoreFrom(data, limit, &f.originalSize, &f.crc16);
    if (r != Result::Ok) return Fail(r);
    f.compressedSize = f.originalSize;
  }

  const uint64_t end = pos_;
  header = detail::BuildLevel2Header(f);
  if (!sink_.Seek(headerOffset) || !sink_.Write(header.data(), header.size()) ||
      !sink_.Seek(end)) {
    return Fail(Result::WriteError);
  }
  if (result) {
    result->method.assign(f.method, 5);
    result->originalSize = f.originalSize;
    result->compressedSize = f.compressedSize;
    result->crc16 = f.crc16;
    result->headerOffset = headerOffset;
  }
  return Result::Ok;
}

Result LhaWriter::CopyMember(LhaReader& reader, const MemberHeader& member) {
  if (broken_ || finished_) return Result::BadState;
  const Result r = reader.ReadRaw(member, [this](const uint8_t* p, size_t n) { return Write(p, n); });
  return r == Result::Ok ? r : Fail(r);
}

Result LhaWriter::Finish() {
  if (broken_ || finished_) return Result::BadState;
  const uint8_t endMark = 0;
  if (!Write(&endMark, 1)) return Fail(Result::WriteError);
  finished_ = true;
  return Result::Ok;
}

}  // namespace lha
