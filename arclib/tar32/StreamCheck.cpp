#include "tar32/StreamCheck.h"

#include <archive.h>
#include <bzlib.h>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "archives/ArchiverDll.h"
#include "common/ArchiveReader.h"
#include "common/Failure.h"
#include "common/WinNames.h"
#include "tar32/TarBlocks.h"

namespace tar32 {

namespace {

using arc::Failure;

constexpr size_t kBlock = kTarBlock;

// Follows the tar headers in the decompressed bytes, to tell which member
// was being decompressed when the damage showed.
class TarWalker {
 public:
  void Feed(const unsigned char* data, size_t size) {
    while (size > 0 && !lost_) {
      if (skip_ > 0) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(skip_, size));
        if (collectLong_) longName_.append(reinterpret_cast<const char*>(data), n);
        skip_ -= n;
        data += n;
        size -= n;
        if (skip_ == 0 && collectLong_) FinishLongName();
        continue;
      }
      const size_t n = std::min(kBlock - header_.size(), size);
      header_.append(reinterpret_cast<const char*>(data), n);
      data += n;
      size -= n;
      if (header_.size() == kBlock) Header();
    }
  }
  // The member being read, or the last one before the damage.
  std::string Current() const { return current_.empty() ? std::string("the first member") : current_; }

 private:
  void Header() {
    const std::string h = std::move(header_);
    header_.clear();
    if (h.find_first_not_of('\0') == std::string::npos) return;  // end blocks
    // Damaged data comes out of the decompressor before its CRC is
    // checked: a header whose checksum is wrong ends the walk.
    if (!TarChecksumFits(h.data())) {
      lost_ = true;
      return;
    }
    const uint64_t size = TarNumber(h.data() + 124, 12);
    const char type = h[156];
    uint64_t data = size;
    collectLong_ = false;
    if (type == 'L' || type == 'x') {
      // A GNU long name or a pax record set for the next member.
      collectLong_ = size <= 65536;
      pendingType_ = type;
      longName_.clear();
    } else if (type != 'g' && type != 'K' && type != 'X') {
      std::string name = Field(h, 0, 100);
      const std::string prefix = Field(h, 345, 155);
      if (h.compare(257, 5, "ustar") == 0 && !prefix.empty() && type != 'S') name = prefix + "/" + name;
      current_ = nextName_.empty() ? name : nextName_;
      nextName_.clear();
      if (type == '1' || type == '2' || type == '3' || type == '4' || type == '5' || type == '6') data = 0;
    }
    skip_ = (data + kBlock - 1) / kBlock * kBlock;
    if (collectLong_ && skip_ == 0) FinishLongName();
  }
  void FinishLongName() {
    collectLong_ = false;
    if (pendingType_ == 'L') {
      nextName_ = longName_.substr(0, longName_.find('\0'));
      return;
    }
    // pax records: "<length> key=value\n".
    for (size_t at = 0; at < longName_.size();) {
      const size_t space = longName_.find(' ', at);
      if (space == std::string::npos) break;
      const unsigned long length = std::strtoul(longName_.c_str() + at, nullptr, 10);
      if (length == 0 || at + length > longName_.size()) break;
      const std::string record = longName_.substr(space + 1, at + length - space - 2);
      if (record.compare(0, 5, "path=") == 0) nextName_ = record.substr(5);
      at += length;
    }
  }
  static std::string Field(const std::string& h, size_t at, size_t size) {
    const std::string f = h.substr(at, size);
    return f.substr(0, f.find('\0'));
  }

  std::string header_, longName_, nextName_, current_;
  uint64_t skip_ = 0;
  bool collectLong_ = false, lost_ = false;
  char pendingType_ = 0;
};

class Input {
 public:
  explicit Input(const std::string& path) : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC)), buffer_(1 << 16) {
    if (fd_ < 0) throw Failure(ARCERR_ARC_FILE_OPEN, "cannot open the archive " + arc::Cp932ForReport(path));
  }
  ~Input() { close(fd_); }
  Input(const Input&) = delete;
  Input& operator=(const Input&) = delete;
  // The next piece of the file; empty at its end.
  bool Fill() {
    for (;;) {
      const ssize_t n = read(fd_, buffer_.data(), buffer_.size());
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) throw Failure(ARCERR_CANNOT_READ, std::string("cannot read the archive: ") + std::strerror(errno));
      data_ = buffer_.data();
      left_ = static_cast<size_t>(n);
      return n > 0;
    }
  }
  unsigned char* data_ = nullptr;
  size_t left_ = 0;

 private:
  int fd_;
  std::vector<unsigned char> buffer_;
};

[[noreturn]] void Damaged(const TarWalker& walker, const std::string& layer, const std::string& why, int code) {
  throw Failure(code, "the " + layer + " data is damaged (" + why + ") in or before " +
                          arc::Cp932ForReport(walker.Current()));
}

// Whatever follows the last member: nothing, zero padding, or another
// member (gzip 1f 8b, bzip2 "BZh") to decode.
bool AnotherMember(Input& in, const unsigned char* magic, size_t magicSize) {
  for (;;) {
    while (in.left_ > 0 && in.data_[0] == 0) {
      ++in.data_;
      --in.left_;
    }
    if (in.left_ > 0) break;
    if (!in.Fill()) return false;
  }
  // Padding then something else is left alone, as gzip -t does (a warning
  // there): it holds no member data.
  return in.left_ >= magicSize ? std::memcmp(in.data_, magic, magicSize) == 0 : in.data_[0] == magic[0];
}

void CheckGzip(Input& in) {
  static const unsigned char magic[] = {0x1f, 0x8b};
  TarWalker walker;
  std::vector<unsigned char> out(1 << 16);
  z_stream z{};
  if (inflateInit2(&z, 15 + 16) != Z_OK) throw Failure(ARCERR_ENOUGH_MEMORY, "out of memory");
  struct End {
    z_stream& z;
    ~End() { inflateEnd(&z); }
  } end{z};
  for (;;) {
    // One gzip member: inflate checks its CRC-32 and length at the trailer.
    int r = Z_OK;
    while (r != Z_STREAM_END) {
      if (in.left_ == 0 && !in.Fill()) Damaged(walker, "gzip", "cut short", ARCERR_HEADER_BROKEN);
      z.next_in = in.data_;
      z.avail_in = static_cast<uInt>(in.left_);
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(out.size());
      r = inflate(&z, Z_NO_FLUSH);
      in.data_ = z.next_in;
      in.left_ = z.avail_in;
      walker.Feed(out.data(), out.size() - z.avail_out);
      if (r == Z_DATA_ERROR) {
        const std::string why = z.msg != nullptr ? z.msg : "bad data";
        Damaged(walker, "gzip", why.find("check") != std::string::npos ? "CRC error" : why,
                why.find("check") != std::string::npos ? ARCERR_FILE_CRC : ARCERR_HEADER_BROKEN);
      }
      if (r == Z_MEM_ERROR) throw Failure(ARCERR_ENOUGH_MEMORY, "out of memory");
      if (r != Z_OK && r != Z_STREAM_END && r != Z_BUF_ERROR)
        Damaged(walker, "gzip", "bad data", ARCERR_HEADER_BROKEN);
    }
    if (!AnotherMember(in, magic, sizeof magic)) return;
    inflateReset(&z);
  }
}

void CheckBzip2(Input& in) {
  static const unsigned char magic[] = {'B', 'Z', 'h'};
  TarWalker walker;
  std::vector<char> out(1 << 16);
  for (;;) {
    // One bzip2 stream: the library checks every block's CRC and the
    // stream's combined CRC.
    bz_stream b{};
    if (BZ2_bzDecompressInit(&b, 0, 0) != BZ_OK) throw Failure(ARCERR_ENOUGH_MEMORY, "out of memory");
    struct End {
      bz_stream& b;
      ~End() { BZ2_bzDecompressEnd(&b); }
    } end{b};
    int r = BZ_OK;
    while (r != BZ_STREAM_END) {
      if (in.left_ == 0 && !in.Fill()) Damaged(walker, "bzip2", "cut short", ARCERR_HEADER_BROKEN);
      b.next_in = reinterpret_cast<char*>(in.data_);
      b.avail_in = static_cast<unsigned>(in.left_);
      b.next_out = out.data();
      b.avail_out = static_cast<unsigned>(out.size());
      r = BZ2_bzDecompress(&b);
      in.data_ = reinterpret_cast<unsigned char*>(b.next_in);
      in.left_ = b.avail_in;
      walker.Feed(reinterpret_cast<const unsigned char*>(out.data()), out.size() - b.avail_out);
      if (r == BZ_DATA_ERROR) Damaged(walker, "bzip2", "CRC error", ARCERR_FILE_CRC);
      if (r == BZ_MEM_ERROR) throw Failure(ARCERR_ENOUGH_MEMORY, "out of memory");
      if (r != BZ_OK && r != BZ_STREAM_END) Damaged(walker, "bzip2", "bad data", ARCERR_HEADER_BROKEN);
    }
    if (!AnotherMember(in, magic, sizeof magic)) return;
  }
}

// Other compressions (xz, zstd, lzma, compress ...) through libarchive's
// filters, read to their very end so that their own checks all run.
void CheckOtherLayer(const std::string& posixPath) {
  arc::ArchiveReader raw(posixPath, arc::ReadFormat::Decompressed);
  if (raw.Next() == nullptr || raw.FilterCode() == ARCHIVE_FILTER_NONE) return;
  std::vector<char> piece(1 << 16);
  for (;;) {
    const la_ssize_t n = archive_read_data(raw.Raw(), piece.data(), piece.size());
    if (n == 0) return;
    if (n < 0) {
      const std::string why = archive_error_string(raw.Raw()) ? archive_error_string(raw.Raw()) : "bad data";
      const bool crc = why.find("hecksum") != std::string::npos || why.find("CRC") != std::string::npos;
      throw Failure(crc ? ARCERR_FILE_CRC : ARCERR_HEADER_BROKEN,
                    std::string("the ") + archive_filter_name(raw.Raw(), 0) + " data is damaged (" + why + ")");
    }
  }
}

}  // namespace

void CheckCompressedLayer(const std::string& posixPath) {
  {
    Input in(posixPath);
    if (!in.Fill() || in.left_ < 3) return;
    if (in.data_[0] == 0x1f && in.data_[1] == 0x8b) return CheckGzip(in);
    if (std::memcmp(in.data_, "BZh", 3) == 0) return CheckBzip2(in);
  }
  CheckOtherLayer(posixPath);
}

}  // namespace tar32
