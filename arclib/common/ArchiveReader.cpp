#include "common/ArchiveReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <zlib.h>

#include <cerrno>

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
    case ReadFormat::Raw:
      archive_read_support_filter_all(a);
      archive_read_support_format_tar(a);
      archive_read_support_format_gnutar(a);
      archive_read_support_format_raw(a);
      break;
  }
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
    throw Failure(ARCERR_NOT_ARC_FILE, "not an archive of this kind (" + why + ")");
  }
}

ArchiveReader::~ArchiveReader() {
  if (archive_ != nullptr) archive_read_free(archive_);
  if (fd_ >= 0) close(fd_);
}

la_ssize_t ArchiveReader::ReadCallback(struct archive*, void* self, const void** buffer) {
  auto* r = static_cast<ArchiveReader*>(self);
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
  const char* why = archive_error_string(archive_);
  throw Failure(code, what + (why ? std::string(" (") + why + ")" : std::string()));
}

archive_entry* ArchiveReader::Next() {
  archive_entry* entry = nullptr;
  const int r = archive_read_next_header(archive_, &entry);
  if (r == ARCHIVE_EOF) return nullptr;
  if (r < ARCHIVE_WARN) Fail(ARCERR_HEADER_BROKEN, "the archive is damaged");
  currentName_ = NameOf(entry);
  return entry;
}

void ArchiveReader::ReadData(const std::function<void(const void*, size_t)>& sink) {
  for (;;) {
    const void* block = nullptr;
    size_t size = 0;
    la_int64_t offset = 0;
    const int r = archive_read_data_block(archive_, &block, &size, &offset);
    if (r == ARCHIVE_EOF) return;
    if (r < ARCHIVE_OK) {
      const char* why = archive_error_string(archive_);
      const bool crc = why != nullptr && (std::string(why).find("CRC") != std::string::npos ||
                                          std::string(why).find("checksum") != std::string::npos);
      Fail(crc ? ARCERR_FILE_CRC : ARCERR_HEADER_BROKEN, "damaged data in " + Cp932ForReport(currentName_));
    }
    if (size > 0) sink(block, size);
  }
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
                 const std::function<void(const void*, size_t)>& sink) {
  uint32_t expected = 0;
  if (!crcs || !crcs(index, expected)) {
    reader.ReadData(sink);
    return;
  }
  uLong crc = crc32(0, nullptr, 0);
  reader.ReadData([&](const void* block, size_t size) {
    crc = crc32(crc, static_cast<const Bytef*>(block), static_cast<uInt>(size));
    sink(block, size);
  });
  if (crc != expected) throw Failure(ARCERR_FILE_CRC, "CRC error in " + Cp932ForReport(name));
}

bool CheckMembers(ArchiveReader& reader, const CrcLookup& crcs) {
  try {
    for (size_t i = 0; archive_entry* entry = reader.Next(); ++i)
      ReadChecked(reader, i, ArchiveReader::NameOf(entry), crcs, [](const void*, size_t) {});
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace arc
