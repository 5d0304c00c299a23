// Reading archives with libarchive: one archive file (or the part of a file
// from an offset on, behind a self-extractor stub), member by member.
#pragma once

#include <archive.h>
#include <archive_entry.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "common/EntryInfo.h"
#include "common/Locale.h"

namespace arc {

// Raw: a tar, or else any file as one member; Decompressed: any file as
// one member, its compression removed; PlainTar: a tar without compression.
enum class ReadFormat { Any, Zip, Cab, Tar, Rar, Lha, Raw, Decompressed, PlainTar };

// Bytes for a reader from elsewhere: a piece in *buffer and its length,
// 0 at the end. May throw; the reader passes the exception on.
using PullSource = std::function<long(const void** buffer)>;
// Passes over up to request bytes of such a source; answers how many (0
// when it cannot, and the reader reads them instead).
using SkipSource = std::function<int64_t(int64_t request)>;

class ArchiveReader {
 public:
  // Throws Failure: ARCERR_ARC_FILE_OPEN when the file cannot be opened,
  // ARCERR_NOT_ARC_FILE when it is not an archive of the format.
  ArchiveReader(const std::string& posixPath, ReadFormat format, uint64_t offset = 0);
  // The volumes of one multi-volume archive, in order (the first one
  // alone is the same as the constructor above).
  ArchiveReader(const std::vector<std::string>& volumes, ReadFormat format);
  // An archive read in one pass from a source.
  ArchiveReader(PullSource source, ReadFormat format, SkipSource skip = {});
  ~ArchiveReader();
  ArchiveReader(const ArchiveReader&) = delete;
  ArchiveReader& operator=(const ArchiveReader&) = delete;

  // The next member, null at the end; throws Failure (ARCERR_HEADER_BROKEN)
  // for a damaged archive.
  archive_entry* Next();
  // The current member's data in pieces; throws Failure (ARCERR_FILE_CRC /
  // ARCERR_HEADER_BROKEN) naming the member when it is damaged or shorter
  // than its recorded size. The holes of a sparse member come as zeros, or
  // with holes set as sink(nullptr, length).
  void ReadData(const std::function<void(const void*, size_t)>& sink, bool holes = false);
  // The member's name as UTF-8 (empty when the archive's bytes cannot be
  // read as a name).
  static std::string NameOf(archive_entry* entry);
  struct archive* Raw() { return archive_; }
  // libarchive's codes of the first filter and the format, after Next().
  int FilterCode();
  int FormatCode();

 private:
  static la_ssize_t ReadCallback(struct archive*, void* self, const void** buffer);
  static la_int64_t SkipCallback(struct archive*, void* self, la_int64_t request);
  static la_int64_t SeekCallback(struct archive*, void* self, la_int64_t offset, int whence);
  [[noreturn]] void Fail(int code, const std::string& what);
  void RethrowFromSource();

  Utf8Locale locale_;
  struct archive* archive_ = nullptr;
  int fd_ = -1;
  uint64_t base_ = 0;
  uint64_t position_ = 0;  // relative to base_
  uint64_t size_ = 0;      // of the part behind base_
  std::vector<char> buffer_;
  std::string currentName_;
  archive_entry* current_ = nullptr;
  PullSource source_;
  SkipSource skip_;
  std::exception_ptr sourceFailure_;
};

// The CRC-32 a format records for the index-th member (counted from 0 in
// the reader's order), when libarchive does not check it itself.
using CrcLookup = std::function<bool(size_t index, uint32_t& crc)>;
// Reads the current member's data into sink and, when crcs knows one,
// checks it; throws Failure (ARCERR_FILE_CRC) naming the member.
// Holes of sparse members reach sink as sink(nullptr, length) when no CRC
// is to be checked.
void ReadChecked(ArchiveReader& reader, size_t index, const std::string& name, const CrcLookup& crcs,
                 const std::function<void(const void*, size_t)>& sink, bool holes = false);

// Every member (name in code page 932, sizes, time, kind) for a listing.
std::vector<EntryInfo> ListMembers(ArchiveReader& reader, const std::string& method);
// Reads every member and the data of its files; throws Failure naming the
// first member that is damaged, encrypted or cut short.
void CheckAllMembers(ArchiveReader& reader, const CrcLookup& crcs = {});
// The same as an answer: false on the first damage.
bool CheckMembers(ArchiveReader& reader, const CrcLookup& crcs = {});
// Throws Failure for a member whose data cannot be read as it is: its
// data encrypted (ARCERR_PASSWORD), or a header that gives no kind of file
// and names no earlier member as a hard link (ARCERR_HEADER_BROKEN).
void RefuseUnreadable(archive_entry* entry);

}  // namespace arc
