#include "tar32/TarStream.h"

#include <archive.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "archives/ArchiverDll.h"
#include "common/Failure.h"
#include "tar32/TarBlocks.h"

namespace tar32 {

namespace {

using arc::Failure;

constexpr size_t kBlock = kTarBlock;
// libarchive refuses extended headers over 1 MiB; larger ones are cut
// down, up to this size (beyond it they pass unchanged and are refused).
constexpr uint64_t kLargeHeader = 512 * 1024;
constexpr uint64_t kLargestHeader = 64 * 1024 * 1024;

// pax records "<length> <key>=<value>\n"; false when the data is not such.
template <typename Each>
bool ForEachRecord(const std::string& data, Each each) {
  for (size_t at = 0; at < data.size();) {
    if (data[at] == '\0') return data.find_first_not_of('\0', at) == std::string::npos;  // padding
    size_t digits = at;
    uint64_t length = 0;
    while (digits < data.size() && data[digits] >= '0' && data[digits] <= '9' && digits - at < 20)
      length = length * 10 + static_cast<uint64_t>(data[digits++] - '0');
    if (digits == at || digits >= data.size() || data[digits] != ' ' || length <= digits - at + 1 ||
        length > data.size() - at || data[at + length - 1] != '\n')
      return false;
    const std::string record = data.substr(digits + 1, at + length - digits - 2);
    const size_t equals = record.find('=');
    if (equals == std::string::npos) return false;
    each(record.substr(0, equals), data.substr(at, length));
    at += length;
  }
  return true;
}

// What a reader uses: names, sizes, times, owners, the character set and
// GNU's sparse maps; large records of anything else (extended attributes,
// ACLs, comments) are left out.
bool Kept(const std::string& key, const std::string& record) {
  if (record.size() < 4096) return true;
  static const char* const used[] = {"path", "linkpath", "size", "mtime", "atime", "ctime", "uid", "gid",
                                     "uname", "gname", "hdrcharset", "charset"};
  for (const char* k : used)
    if (key == k) return true;
  return key.compare(0, 11, "GNU.sparse.") == 0;
}

class Stream {
 public:
  explicit Stream(const std::string& posixPath)
      : raw_(std::make_unique<arc::ArchiveReader>(posixPath, arc::ReadFormat::Decompressed)) {
    if (raw_->Next() == nullptr) ended_ = true;
    filter_ = raw_->FilterCode();
    if (filter_ != ARCHIVE_FILTER_NONE || ended_) return;
    // Not compressed: read the file itself, so that listings can pass
    // over member data without reading it.
    fd_ = open(posixPath.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (fd_ < 0 || fstat(fd_, &st) != 0) {
      if (fd_ >= 0) close(fd_);
      throw Failure(ARCERR_ARC_FILE_OPEN, "cannot open the archive");
    }
    fileSize_ = static_cast<uint64_t>(st.st_size);
    raw_.reset();
  }
  ~Stream() {
    if (fd_ >= 0) close(fd_);
  }
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;
  int FilterCode() const { return filter_; }

  // Passes over member data only, and only in a file read directly.
  int64_t Skip(int64_t request) {
    if (fd_ < 0 || passThrough_ || request <= 0) return 0;
    const uint64_t allowed = std::min<uint64_t>(static_cast<uint64_t>(request), dataLeft_);
    const uint64_t buffered = std::min<uint64_t>(allowed, Available());
    inAt_ += static_cast<size_t>(buffered);
    const uint64_t direct = std::min(allowed - buffered, fileSize_ - std::min(position_, fileSize_));
    position_ += direct;
    dataLeft_ -= buffered + direct;
    return static_cast<int64_t>(buffered + direct);
  }

  long Read(const void** buffer) {
    out_.clear();
    while (out_.empty()) {
      if (passThrough_) {
        if (Available() == 0 && !Pull()) break;
        out_.assign(in_, inAt_, std::string::npos);
        in_.clear();
        inAt_ = 0;
        break;
      }
      if (dataLeft_ > 0) {
        if (Available() == 0 && !Pull()) break;
        const size_t n = static_cast<size_t>(std::min<uint64_t>(dataLeft_, Available()));
        out_.assign(in_, inAt_, n);
        inAt_ += n;
        dataLeft_ -= n;
        break;
      }
      Header();
    }
    *buffer = out_.data();
    return static_cast<long>(out_.size());
  }

 private:
  size_t Available() const { return in_.size() - inAt_; }
  // More decompressed bytes into in_; false at the end.
  bool Pull() {
    if (ended_) return false;
    if (inAt_ > 0) {
      in_.erase(0, inAt_);
      inAt_ = 0;
    }
    char piece[1 << 16];
    if (fd_ >= 0) {
      ssize_t n;
      do n = pread(fd_, piece, sizeof piece, static_cast<off_t>(position_));
      while (n < 0 && errno == EINTR);
      if (n < 0) throw Failure(ARCERR_CANNOT_READ, std::string("cannot read the archive: ") + std::strerror(errno));
      if (n == 0) {
        ended_ = true;
        return false;
      }
      position_ += static_cast<uint64_t>(n);
      in_.append(piece, static_cast<size_t>(n));
      return true;
    }
    const la_ssize_t n = archive_read_data(raw_->Raw(), piece, sizeof piece);
    if (n < 0) {
      const char* why = archive_error_string(raw_->Raw());
      throw Failure(ARCERR_HEADER_BROKEN, std::string("the archive is damaged") + (why ? std::string(" (") + why + ")" : ""));
    }
    if (n == 0) {
      ended_ = true;
      return false;
    }
    in_.append(piece, static_cast<size_t>(n));
    return true;
  }
  bool Have(uint64_t n) {
    while (Available() < n)
      if (!Pull()) return false;
    return true;
  }
  void Take(size_t n) {
    out_.append(in_, inAt_, n);
    inAt_ += n;
  }

  // One header: passed on, or (a large extended header) rewritten.
  void Header() {
    if (!Have(kBlock)) {
      passThrough_ = true;  // a cut archive: the tar reader tells
      return;
    }
    const char* h = in_.data() + inAt_;
    if (std::all_of(h, h + kBlock, [](char c) { return c == '\0'; }) || !TarChecksumFits(h)) {
      passThrough_ = true;  // the end blocks, or no header we know: nothing more to do
      return;
    }
    const char type = h[156];
    uint64_t size = TarNumber(h + 124, 12);
    if (nextSize_ != UINT64_MAX && type != 'x' && type != 'g') {
      size = nextSize_;  // an extended header's size record overrides the field
      nextSize_ = UINT64_MAX;
    }
    if (type == 'x' || type == 'g') {
      ExtendedHeader(size, type == 'x');
      return;
    }
    const bool noData = type == '1' || type == '2' || type == '3' || type == '4' || type == '5' || type == '6';
    const bool extended = type == 'S' && h[482] != '\0';  // old GNU sparse extension blocks follow
    Take(kBlock);
    if (extended) {
      for (;;) {
        if (!Have(kBlock)) {
          passThrough_ = true;
          return;
        }
        const bool more = in_[inAt_ + 504] != '\0';
        Take(kBlock);
        if (!more) break;
      }
    }
    dataLeft_ = noData ? 0 : TarPadded(size);
  }

  void ExtendedHeader(uint64_t size, bool forNextMember) {
    const uint64_t total = kBlock + TarPadded(size);
    if (size <= kLargeHeader || size > kLargestHeader || !Have(total)) {
      if (forNextMember && size <= kLargeHeader && Have(total))
        NoteSize(in_.substr(inAt_ + kBlock, static_cast<size_t>(size)));
      Take(kBlock);
      dataLeft_ = TarPadded(size);
      return;
    }
    const std::string data = in_.substr(inAt_ + kBlock, static_cast<size_t>(size));
    std::string kept;
    const bool valid = ForEachRecord(data, [&](const std::string& key, const std::string& record) {
      if (Kept(key, record)) kept += record;
    });
    if (!valid) {  // not pax records: as it is
      Take(kBlock);
      dataLeft_ = TarPadded(size);
      return;
    }
    if (forNextMember) NoteSize(kept);
    std::string header = in_.substr(inAt_, kBlock);
    inAt_ += static_cast<size_t>(total);
    char field[13];
    std::snprintf(field, sizeof field, "%011llo", static_cast<unsigned long long>(kept.size()));
    std::memcpy(&header[124], field, 12);
    std::memset(&header[148], ' ', 8);
    uint64_t sum = 0;
    for (unsigned char c : header) sum += c;
    std::snprintf(field, sizeof field, "%06llo", static_cast<unsigned long long>(sum));
    std::memcpy(&header[148], field, 7);
    out_ += header;
    out_ += kept;
    out_.append(static_cast<size_t>(TarPadded(kept.size()) - kept.size()), '\0');
  }

  // A "size" record gives the next member's data size.
  void NoteSize(const std::string& data) {
    ForEachRecord(data, [&](const std::string& key, const std::string& record) {
      if (key != "size") return;
      const size_t equals = record.find('=');
      nextSize_ = std::strtoull(record.c_str() + equals + 1, nullptr, 10);
    });
  }

  std::unique_ptr<arc::ArchiveReader> raw_;  // compressed: libarchive decompresses
  int fd_ = -1;                              // else the file itself
  uint64_t position_ = 0, fileSize_ = 0;
  int filter_ = ARCHIVE_FILTER_NONE;
  std::string in_, out_;
  size_t inAt_ = 0;
  uint64_t dataLeft_ = 0, nextSize_ = UINT64_MAX;
  bool passThrough_ = false, ended_ = false;
};

}  // namespace

std::unique_ptr<arc::ArchiveReader> OpenTar(const std::string& posixPath, int* filter) {
  auto stream = std::make_shared<Stream>(posixPath);
  if (filter != nullptr) *filter = stream->FilterCode();
  return std::make_unique<arc::ArchiveReader>([stream](const void** buffer) { return stream->Read(buffer); },
                                              arc::ReadFormat::PlainTar,
                                              [stream](int64_t request) { return stream->Skip(request); });
}

}  // namespace tar32
