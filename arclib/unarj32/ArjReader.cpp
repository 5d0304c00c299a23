#include "unarj32/ArjReader.h"

#include <sys/stat.h>
#include <zlib.h>

#include <exception>
#include <vector>

#include "archives/ArchiverDll.h"
#include "common/Failure.h"
#include "common/WinNames.h"
#include "lh5_decoder.h"
#include "lha_io.h"

namespace unarj32 {

namespace {

using arc::Failure;

constexpr unsigned kMaxBasicHeader = 2600;
// ARJ writes one extended header at most; a long chain is damage.
constexpr unsigned kMaxExtendedHeaders = 16;
constexpr uint8_t kGarbled = 0x01, kVolume = 0x04, kExtFile = 0x08;

uint16_t U16(const std::string& s, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(s[at]) | (static_cast<unsigned char>(s[at + 1]) << 8));
}
uint32_t U32(const std::string& s, size_t at) { return U16(s, at) | (static_cast<uint32_t>(U16(s, at + 2)) << 16); }

bool ReadAt(std::FILE* f, uint64_t at, void* data, size_t size) {
  return fseeko(f, static_cast<off_t>(at), SEEK_SET) == 0 && std::fread(data, 1, size, f) == size;
}

// The member's packed bytes as arclha's byte source.
class RangeSource : public lha::ByteSource {
 public:
  RangeSource(std::FILE* f, uint64_t start, uint64_t size) : f_(f), start_(start), size_(size) {}
  std::ptrdiff_t Read(uint8_t* data, size_t size) override {
    const uint64_t left = size_ - pos_;
    const size_t n = static_cast<size_t>(std::min<uint64_t>(left, size));
    if (n == 0) return 0;
    if (fseeko(f_, static_cast<off_t>(start_ + pos_), SEEK_SET) != 0) return -1;
    const size_t got = std::fread(data, 1, n, f_);
    if (got == 0 && std::ferror(f_)) return -1;
    pos_ += got;
    return static_cast<std::ptrdiff_t>(got);
  }
  bool Seek(uint64_t offset) override {
    if (offset > size_) return false;
    pos_ = offset;
    return true;
  }

 private:
  std::FILE* f_;
  uint64_t start_, size_, pos_ = 0;
};

// A main header at `at` of the bytes read: its size, its type and, where
// the header lies within them, its CRC. `budget` bounds the bytes whose CRC
// the whole search computes, so that a file made of plausible headers
// costs no more than a few milliseconds.
bool LooksLikeMainHeader(const std::vector<unsigned char>& head, size_t at, uint64_t& budget) {
  const unsigned size = head[at + 2] | (head[at + 3] << 8);
  if (size < 30 || size > kMaxBasicHeader) return false;
  const size_t basic = at + 4;
  if (basic + 7 <= head.size() && head[basic + 6] != 2) return false;
  if (basic + size + 4 > head.size()) return true;  // the file read will tell
  if (budget < size) return false;
  budget -= size;
  const uint32_t stored = head[basic + size] | (head[basic + size + 1] << 8) | (head[basic + size + 2] << 16) |
                          (static_cast<uint32_t>(head[basic + size + 3]) << 24);
  return crc32(0, head.data() + basic, size) == stored;
}

}  // namespace

ArjReader::ArjReader(const std::string& posixPath) {
  file_ = std::fopen(posixPath.c_str(), "rb");
  struct stat st;
  if (file_ == nullptr || fstat(fileno(file_), &st) != 0 || !S_ISREG(st.st_mode)) {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    throw Failure(ARCERR_ARC_FILE_OPEN, "cannot open the archive " + arc::Cp932ForReport(posixPath));
  }
  size_ = static_cast<uint64_t>(st.st_size);
  // The main header comes first, or after a self-extractor: the first
  // signature whose header checks out. Size, type and CRC are checked in the
  // bytes already read, so that a file full of signatures costs one pass;
  // only a candidate that passes them reads its extended headers.
  std::vector<unsigned char> head(static_cast<size_t>(std::min<uint64_t>(size_, 1 << 20)));
  if (!head.empty() && !ReadAt(file_, 0, head.data(), head.size())) head.clear();
  uint64_t budget = 16 << 20;
  for (size_t i = 0; i + 4 <= head.size(); ++i) {
    if (head[i] != 0x60 || head[i + 1] != 0xEA || !LooksLikeMainHeader(head, i, budget)) continue;
    std::string basic;
    uint64_t next = 0;
    if (ReadHeader(i, basic, next) && basic.size() >= 30 && static_cast<uint8_t>(basic[6]) == 2) {
      next_ = next;
      return;
    }
  }
  std::fclose(file_);
  file_ = nullptr;
  throw Failure(ARCERR_NOT_ARC_FILE, "not an ARJ archive");
}

ArjReader::~ArjReader() {
  if (file_ != nullptr) std::fclose(file_);
}

// Reads the header at `at`: false unless signature, size and CRC fit.
// `basic` is empty for the end mark; `next` is the offset after the header.
bool ArjReader::ReadHeader(uint64_t at, std::string& basic, uint64_t& next) {
  unsigned char id[4];
  if (!ReadAt(file_, at, id, 4) || id[0] != 0x60 || id[1] != 0xEA) return false;
  const unsigned size = id[2] | (id[3] << 8);
  basic.clear();
  if (size == 0) {
    next = at + 4;
    return true;
  }
  if (size > kMaxBasicHeader) return false;
  std::string data(size + 4, '\0');
  if (!ReadAt(file_, at + 4, data.data(), data.size())) return false;
  const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(data.data()), size);
  if (crc != U32(data, size)) return false;
  basic = data.substr(0, size);
  next = at + 4 + size + 4;
  // Extended headers: a size, the data and its CRC each, up to a size of 0.
  for (unsigned count = 0;; ++count) {
    unsigned char ext[2];
    if (count > kMaxExtendedHeaders || !ReadAt(file_, next, ext, 2)) return false;
    const unsigned extSize = ext[0] | (ext[1] << 8);
    next += 2;
    if (extSize == 0) break;
    next += extSize + 4;
    if (next > size_) return false;
  }
  return true;
}

bool ArjReader::Next(ArjMember& m) {
  std::string basic;
  uint64_t next = 0;
  if (!ReadHeader(next_, basic, next)) throw Failure(ARCERR_HEADER_BROKEN, "the archive is damaged (bad header)");
  if (basic.empty()) return false;
  const size_t first = static_cast<unsigned char>(basic[0]);
  if (first < 30 || first > basic.size()) throw Failure(ARCERR_HEADER_BROKEN, "the archive is damaged (bad header)");
  m = ArjMember();
  m.hostOs = static_cast<uint8_t>(basic[3]);
  m.flags = static_cast<uint8_t>(basic[4]);
  m.method = static_cast<uint8_t>(basic[5]);
  m.fileType = static_cast<uint8_t>(basic[6]);
  m.stamp = U32(basic, 8);
  m.packed = U32(basic, 12);
  m.original = U32(basic, 16);
  m.crc = U32(basic, 20);
  m.accessMode = U16(basic, 26);
  const size_t end = basic.find('\0', first);
  if (end == std::string::npos) throw Failure(ARCERR_HEADER_BROKEN, "the archive is damaged (bad name)");
  m.name = basic.substr(first, end - first);
  m.dataOffset = next;
  if (next + m.packed > size_) throw Failure(ARCERR_HEADER_BROKEN, "the archive is cut short");
  next_ = next + m.packed;
  return true;
}

void ArjReader::Extract(const ArjMember& m, const std::function<void(const void*, size_t)>& sink) {
  const std::string shown = arc::Cp932ForReport(arc::GuessNameToUtf8(m.name));
  if (m.flags & kGarbled) throw Failure(ARCERR_PASSWORD, shown + " is encrypted (no passphrase is taken)");
  if (m.flags & (kVolume | kExtFile)) throw Failure(ARCERR_NOT_SUPPORT, shown + " spans several volumes");
  uLong crc = crc32(0, nullptr, 0);
  RangeSource source(file_, m.dataOffset, m.packed);
  std::exception_ptr failure;
  auto out = [&](const uint8_t* data, size_t size) {
    crc = crc32(crc, data, static_cast<uInt>(size));
    try {
      sink(data, size);
      return true;
    } catch (...) {
      failure = std::current_exception();
      return false;
    }
  };
  if (m.method == 0) {
    if (m.packed != m.original) throw Failure(ARCERR_HEADER_BROKEN, shown + ": sizes of a stored member differ");
    std::vector<uint8_t> buffer(1 << 16);
    for (uint32_t left = m.original; left > 0;) {
      const std::ptrdiff_t n = source.Read(buffer.data(), std::min<size_t>(buffer.size(), left));
      if (n <= 0) throw Failure(ARCERR_HEADER_BROKEN, shown + ": the archive is cut short");
      if (!out(buffer.data(), static_cast<size_t>(n))) std::rethrow_exception(failure);
      left -= static_cast<uint32_t>(n);
    }
  } else if (m.method >= 1 && m.method <= 3) {
    // Methods 1 to 3 share one coding: Huffman blocks over an LZ77 window
    // of 26624 bytes, laid out as -lh7- (17 position symbols of 5 bits).
    lha::detail::BitReader in(source, m.packed);
    lha::detail::Lh5Decoder decoder(16, 17, 5);
    const lha::Result r = decoder.Decode(in, m.original, out);
    if (failure) std::rethrow_exception(failure);
    if (r != lha::Result::Ok) throw Failure(ARCERR_HEADER_BROKEN, shown + ": damaged data");
  } else {
    throw Failure(ARCERR_METHOD, shown + ": method " + std::to_string(m.method) + " is not supported");
  }
  if (crc != m.crc) throw Failure(ARCERR_FILE_CRC, shown + ": CRC error");
}

}  // namespace unarj32
