#include "common/ArchiveReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <zlib.h>

#include <cerrno>
#include <utility>

#include "archives/ArchiverDll.h"
#include "common/Failure.h"
#include "common/TempFile.h"
#include "common/WinNames.h"

namespace arc {

namespace {

void SupportFormat(struct archive* a, ReadFormat format) {
  switch (format) {
    case ReadFormat::Any:
      archive_read_support_filter_all(a);
      archive_read_support_format_all(a);
      break;
    case ReadFormat::Zip:
      archive_read_support_format_zip_seekable(a);
      break;
    case ReadFormat::Cab:
      archive_read_support_format_cab(a);
      break;
    case ReadFormat::Tar:
      archive_read_support_filter_all(a);
      archive_read_support_format_tar(a);
      archive_read_support_format_gnutar(a);
      break;
    case ReadFormat::Rar:
      archive_read_support_format_rar(a);
      archive_read_support_format_rar5(a);
      break;
    case ReadFormat::Lha:
      archive_read_support_format_lha(a);
      archive_read_set_options(a, "lha:hdrcharset=CP932");
      break;
    case ReadFormat::PlainTar:
      archive_read_support_format_tar(a);
      archive_read_support_format_gnutar(a);
      break;
    case ReadFormat::Decompressed:
      archive_read_support_filter_all(a);
      archive_read_support_format_raw(a);
      break;
    case ReadFormat::Raw:
      archive_read_support_filter_all(a);
      archive_read_support_format_tar(a);
      archive_read_support_format_gnutar(a);
      archive_read_support_format_raw(a);
      break;
  }
}

Failure OpenFailure(const std::string& why) {
  if (why.find("ncrypt") != std::string::npos || why.find("assphrase") != std::string::npos)
    return Failure(ARCERR_PASSWORD, "the archive is encrypted (no passphrase is taken): " + why);
  return Failure(ARCERR_NOT_ARC_FILE, "not an archive of this kind (" + why + ")");
}

}  // namespace

ArchiveReader::ArchiveReader(const std::string& posixPath, ReadFormat format, uint64_t offset) : base_(offset) {
  fd_ = open(posixPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) throw Failure(ARCERR_ARC_FILE_OPEN, "cannot open the archive " + Cp932ForReport(posixPath));
  struct stat st;
  if (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd_);
    fd_ = -1;
    throw Failure(ARCERR_ARC_FILE_OPEN, "not a file: " + Cp932ForReport(posixPath));
  }
  size_ = static_cast<uint64_t>(st.st_size) > base_ ? static_cast<uint64_t>(st.st_size) - base_ : 0;
  buffer_.resize(1 << 16);
  archive_ = archive_read_new();
  if (archive_ == nullptr) {
    close(fd_);
    fd_ = -1;
    throw Failure(ARCERR_ENOUGH_MEMORY, "out of memory");
  }
  SupportFormat(archive_, format);
  archive_read_set_read_callback(archive_, ReadCallback);
  archive_read_set_skip_callback(archive_, SkipCallback);
  archive_read_set_seek_callback(archive_, SeekCallback);
  archive_read_set_callback_data(archive_, this);
  if (archive_read_open1(archive_) != ARCHIVE_OK) {
    const std::string why = archive_error_string(archive_) ? archive_error_string(archive_) : "unknown format";
    archive_read_free(archive_);
    archive_ = nullptr;
    close(fd_);
    fd_ = -1;
    throw OpenFailure(why);
  }
}

ArchiveReader::ArchiveReader(const std::vector<std::string>& volumes, ReadFormat format) {
  std::vector<const char*> names;
  for (const std::string& v : volumes) {
    struct stat st;
    if (stat(v.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
      throw Failure(ARCERR_ARC_FILE_OPEN, "cannot open the archive " + Cp932ForReport(v));
    names.push_back(v.c_str());
  }
  if (names.empty()) throw Failure(ARCERR_ARC_FILE_OPEN, "no archive given");
  names.push_back(nullptr);
  archive_ = archive_read_new();
  if (archive_ == nullptr) throw Failure(ARCERR_ENOUGH_MEMORY, "out of memory");
  SupportFormat(archive_, format);
  if (archive_read_open_filenames(archive_, names.data(), 1 << 16) != ARCHIVE_OK) {
    const std::string why = archive_error_string(archive_) ? archive_error_string(archive_) : "unknown format";
    archive_read_free(archive_);
    archive_ = nullptr;
    throw OpenFailure(why);
  }
}

ArchiveReader::ArchiveReader(PullSource source, ReadFormat format, SkipSource skip)
    : source_(std::move(source)), skip_(std::move(skip)) {
  archive_ = archive_read_new();
  if (archive_ == nullptr) throw Failure(ARCERR_ENOUGH_MEMORY, "out of memory");
  SupportFormat(archive_, format);
  archive_read_set_read_callback(archive_, ReadCallback);
  if (skip_) archive_read_set_skip_callback(archive_, SkipCallback);
  archive_read_set_callback_data(archive_, this);
  if (archive_read_open1(archive_) != ARCHIVE_OK) {
    const std::string why = archive_error_string(archive_) ? archive_error_string(archive_) : "unknown format";
    archive_read_free(archive_);
    archive_ = nullptr;
    RethrowFromSource();
    throw OpenFailure(why);
  }
}

void ArchiveReader::RethrowFromSource() {
  if (sourceFailure_) std::rethrow_exception(std::exchange(sourceFailure_, nullptr));
}

ArchiveReader::~ArchiveReader() {
  if (archive_ != nullptr) archive_read_free(archive_);
  if (fd_ >= 0) close(fd_);
}

la_ssize_t ArchiveReader::ReadCallback(struct archive*, void* self, const void** buffer) {
  auto* r = static_cast<ArchiveReader*>(self);
  if (r->source_) {
    // No exception may pass through libarchive: it is kept for the caller.
    try {
      return r->source_(buffer);
    } catch (...) {
      r->sourceFailure_ = std::current_exception();
      return -1;
    }
  }
  *buffer = r->buffer_.data();
  if (r->position_ >= r->size_) return 0;
  const size_t want = static_cast<size_t>(std::min<uint64_t>(r->buffer_.size(), r->size_ - r->position_));
  for (;;) {
    const ssize_t n = pread(r->fd_, r->buffer_.data(), want, static_cast<off_t>(r->base_ + r->position_));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    r->position_ += static_cast<uint64_t>(n);
    return n;
  }
}

la_int64_t ArchiveReader::SkipCallback(struct archive*, void* self, la_int64_t request) {
  auto* r = static_cast<ArchiveReader*>(self);
  if (r->source_) {
    try {
      return r->skip_ ? r->skip_(request) : 0;
    } catch (...) {
      r->sourceFailure_ = std::current_exception();
      return ARCHIVE_FATAL;
    }
  }
  const uint64_t left = r->size_ - std::min(r->position_, r->size_);
  const uint64_t n = std::min<uint64_t>(static_cast<uint64_t>(request), left);
  r->position_ += n;
  return static_cast<la_int64_t>(n);
}

la_int64_t ArchiveReader::SeekCallback(struct archive*, void* self, la_int64_t offset, int whence) {
  auto* r = static_cast<ArchiveReader*>(self);
  int64_t target = offset;
  if (whence == SEEK_CUR) target += static_cast<int64_t>(r->position_);
  if (whence == SEEK_END) target += static_cast<int64_t>(r->size_);
  if (target < 0) return ARCHIVE_FATAL;
  r->position_ = static_cast<uint64_t>(target);
  return target;
}

void ArchiveReader::Fail(int code, const std::string& what) {
  RethrowFromSource();
  const char* why = archive_error_string(archive_);
  throw Failure(code, what + (why ? std::string(" (") + why + ")" : std::string()));
}

archive_entry* ArchiveReader::Next() {
  archive_entry* entry = nullptr;
  const int r = archive_read_next_header(archive_, &entry);
  current_ = nullptr;
  if (r == ARCHIVE_EOF) return nullptr;
  if (r < ARCHIVE_WARN) {
    const std::string why = archive_error_string(archive_) ? archive_error_string(archive_) : "";
    // Encrypted headers cannot be read without the passphrase.
    if (why.find("ncrypt") != std::string::npos || why.find("assphrase") != std::string::npos)
      Fail(ARCERR_PASSWORD, "the archive is encrypted (no passphrase is taken)");
    Fail(ARCERR_HEADER_BROKEN, "the archive is damaged");
  }
  currentName_ = NameOf(entry);
  current_ = entry;
  return entry;
}

void ArchiveReader::ReadData(const std::function<void(const void*, size_t)>& sink, bool holes) {
  static const std::vector<char> zeros(1 << 16);
  const auto hole = [&](uint64_t length) {
    if (holes) {
      sink(nullptr, static_cast<size_t>(length));
      return;
    }
    for (; length > 0;) {
      const size_t n = static_cast<size_t>(std::min<uint64_t>(length, zeros.size()));
      sink(zeros.data(), n);
      length -= n;
    }
  };
  uint64_t at = 0;
  bool sparse = current_ != nullptr && archive_entry_sparse_count(current_) > 0;
  for (;;) {
    const void* block = nullptr;
    size_t size = 0;
    la_int64_t offset = 0;
    const int r = archive_read_data_block(archive_, &block, &size, &offset);
    if (r == ARCHIVE_EOF) break;
    if (r < ARCHIVE_OK) {
      const std::string why = archive_error_string(archive_) ? archive_error_string(archive_) : "";
      // libarchive's word for a method it does not decode (and not for
      // other damage it calls unsupported, such as a block header).
      if ((why.find("nsupported") != std::string::npos &&
           (why.find("ompression") != std::string::npos || why.find("method") != std::string::npos)) ||
          why.find("is not supported") != std::string::npos)
        Fail(ARCERR_METHOD, "unsupported method in " + Cp932ForReport(currentName_));
      if (why.find("assphrase") != std::string::npos || why.find("ncrypt") != std::string::npos)
        Fail(ARCERR_PASSWORD, Cp932ForReport(currentName_) + " is encrypted (no passphrase is taken)");
      const bool crc = why.find("CRC") != std::string::npos || why.find("hecksum") != std::string::npos;
      Fail(crc ? ARCERR_FILE_CRC : ARCERR_HEADER_BROKEN, "damaged data in " + Cp932ForReport(currentName_));
    }
    // A sparse member comes in pieces at their offsets; the gaps are holes.
    if (offset >= 0 && static_cast<uint64_t>(offset) > at) {
      sparse = true;
      hole(static_cast<uint64_t>(offset) - at);
      at = static_cast<uint64_t>(offset);
    }
    if (size > 0) sink(block, size);
    at += size;
  }
  if (current_ == nullptr || !archive_entry_size_is_set(current_)) return;
  const uint64_t expected = static_cast<uint64_t>(archive_entry_size(current_));
  if (sparse && at < expected) {  // a sparse member ending in a hole
    hole(expected - at);
    at = expected;
  }
  // libarchive hands over what it has: a member whose data ends early
  // (a volume not there, a cut archive) must not pass as complete.
  if (at != expected)
    throw CutShort(Cp932ForReport(currentName_) + " is cut short (" + std::to_string(at) +
                                            " of " + std::to_string(expected) + " bytes)");
}

std::string ArchiveReader::NameOf(archive_entry* entry) {
  // In the UTF-8 locale a name with a Unicode mark arrives as UTF-8 and
  // one without it as the archive's bytes, which Japanese Windows tools
  // write in code page 932 and Info-ZIP on POSIX in UTF-8.
  const char* name = archive_entry_pathname(entry);
  return name == nullptr ? std::string() : GuessNameToUtf8(name);
}

int ArchiveReader::FilterCode() { return archive_filter_code(archive_, 0); }
int ArchiveReader::FormatCode() { return archive_format(archive_); }

std::vector<EntryInfo> ListMembers(ArchiveReader& reader, const std::string& method) {
  std::vector<EntryInfo> out;
  while (archive_entry* entry = reader.Next()) {
    EntryInfo e;
    e.name = Cp932ForReport(ArchiveReader::NameOf(entry));
    e.directory = archive_entry_filetype(entry) == AE_IFDIR;
    e.original = archive_entry_size_is_set(entry) ? static_cast<uint64_t>(archive_entry_size(entry)) : 0;
    e.packed = e.original;
    e.mtime = archive_entry_mtime(entry);
    e.attributes = e.directory ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if ((archive_entry_perm(entry) & 0200) == 0) e.attributes |= FILE_ATTRIBUTE_READONLY;
    e.method = method;
    out.push_back(e);
  }
  return out;
}

void ReadChecked(ArchiveReader& reader, size_t index, const std::string& name, const CrcLookup& crcs,
                 const std::function<void(const void*, size_t)>& sink, bool holes) {
  uint32_t expected = 0;
  if (!crcs || !crcs(index, expected)) {
    reader.ReadData(sink, holes);
    return;
  }
  uLong crc = crc32(0, nullptr, 0);
  reader.ReadData([&](const void* block, size_t size) {
    crc = crc32(crc, static_cast<const Bytef*>(block), static_cast<uInt>(size));
    sink(block, size);
  });
  if (crc != expected) throw Failure(ARCERR_FILE_CRC, "CRC error in " + Cp932ForReport(name));
}

void RefuseUnreadable(archive_entry* entry) {
  const std::string name = Cp932ForReport(ArchiveReader::NameOf(entry));
  if (archive_entry_is_data_encrypted(entry) || archive_entry_is_metadata_encrypted(entry))
    throw Failure(ARCERR_PASSWORD, name + " is encrypted (no passphrase is taken)");
  // A tar hard link has no kind of its own: it is the file it names.
  if (archive_entry_filetype(entry) == 0 && archive_entry_hardlink(entry) == nullptr)
    throw Failure(ARCERR_HEADER_BROKEN, "the archive is damaged: the header of " + name + " gives no kind of file");
}

void CheckAllMembers(ArchiveReader& reader, const CrcLookup& crcs) {
  for (size_t i = 0; archive_entry* entry = reader.Next(); ++i) {
    RefuseUnreadable(entry);
    // Folders and links carry no data to check.
    if (archive_entry_filetype(entry) != AE_IFREG || archive_entry_hardlink(entry) != nullptr) continue;
    ReadChecked(reader, i, ArchiveReader::NameOf(entry), crcs, [](const void*, size_t) {}, true);
  }
}

bool CheckMembers(ArchiveReader& reader, const CrcLookup& crcs) {
  try {
    CheckAllMembers(reader, crcs);
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace arc
