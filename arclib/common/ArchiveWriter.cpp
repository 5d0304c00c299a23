#include "common/ArchiveWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "archives/ArchiverDll.h"
#include "common/ArchiveReader.h"
#include "common/Failure.h"
#include "common/WinNames.h"

namespace arc {

namespace {

// Closes a file descriptor on every path.
struct FdCloser {
  int fd;
  ~FdCloser() {
    if (fd >= 0) close(fd);
  }
};

}  // namespace

ArchiveWriter::ArchiveWriter(const std::string& archivePosix, const std::string& shownName,
                             const std::function<void(struct archive*)>& configure,
                             std::unique_ptr<OutputStage> stage)
    : target_(archivePosix), shown_(shownName), stage_(std::move(stage)) {
  if (!file_.Open(archivePosix, 0666))
    throw Failure(ARCERR_TMP_OPEN, "cannot create a file beside " + shownName + ": " + std::strerror(errno));
  if (stage_)
    stage_->SetSink([this](const void* data, size_t size) {
      if (!WriteAll(file_.Fd(), data, size))
        throw WriteFailure(shown_);
    });
  buffer_.resize(1 << 18);
  archive_ = archive_write_new();
  if (archive_ == nullptr) throw Failure(ARCERR_ENOUGH_MEMORY, "out of memory");
  configure(archive_);
  archive_write_set_bytes_in_last_block(archive_, 1);
  Check(archive_write_open2(archive_, this, nullptr, WriteCallback, nullptr, nullptr), "cannot write " + shown_);
}

ArchiveWriter::~ArchiveWriter() {
  discarding_ = true;
  if (archive_ != nullptr) archive_write_free(archive_);
}

la_ssize_t ArchiveWriter::WriteCallback(struct archive* a, void* self, const void* data, size_t size) {
  auto* w = static_cast<ArchiveWriter*>(self);
  if (w->discarding_) return static_cast<la_ssize_t>(size);
  if (w->stage_) {
    try {
      w->stage_->Write(static_cast<const uint8_t*>(data), size);
    } catch (...) {
      // Exceptions must not cross libarchive: kept for Fail.
      w->stageFailure_ = std::current_exception();
      archive_set_error(a, EIO, "the output stage failed");
      return -1;
    }
    return static_cast<la_ssize_t>(size);
  }
  if (!WriteAll(w->file_.Fd(), data, size)) {
    archive_set_error(a, errno, "%s", std::strerror(errno));
    return -1;
  }
  return static_cast<la_ssize_t>(size);
}

void ArchiveWriter::RethrowStageFailure() {
  if (stageFailure_) {
    discarding_ = true;
    std::rethrow_exception(stageFailure_);
  }
}

void ArchiveWriter::Fail(const std::string& what) {
  RethrowStageFailure();
  const int error = archive_errno(archive_);
  const char* why = archive_error_string(archive_);
  throw Failure(error != 0 ? WriteErrorCode(error) : ARCERR_CANNOT_WRITE,
                what + (why ? std::string(": ") + why : std::string()));
}

void ArchiveWriter::Check(int result, const std::string& what) {
  if (result < ARCHIVE_WARN) Fail(what);
}

uint64_t ArchiveWriter::Add(const SourceItem& item, Progress& progress) {
  FdCloser in{-1};
  if (!item.directory) {
    in.fd = open(item.posixPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (in.fd < 0)
      throw Failure(ARCERR_FILE_OPEN, "cannot read the file " + item.shownName + ": " + std::strerror(errno));
  }
  archive_entry* entry = archive_entry_new();
  if (entry == nullptr) throw Failure(ARCERR_ENOUGH_MEMORY, "out of memory");
  struct EntryFree {
    archive_entry* e;
    ~EntryFree() { archive_entry_free(e); }
  } freeEntry{entry};
  archive_entry_copy_stat(entry, &item.st);
  archive_entry_set_uid(entry, 0);
  archive_entry_set_gid(entry, 0);
  archive_entry_update_pathname_utf8(entry, item.directory ? (item.name + "/").c_str() : item.name.c_str());
  if (item.directory) archive_entry_set_size(entry, 0);
  uint64_t done = 0;
  try {
    Check(archive_write_header(archive_, entry), "cannot write " + shown_);
    if (!item.directory) {
      const uint64_t expected = static_cast<uint64_t>(item.st.st_size);
      while (done < expected) {
        const ssize_t n =
            ReadSome(in.fd, buffer_.data(), static_cast<size_t>(std::min<uint64_t>(buffer_.size(), expected - done)));
        if (n < 0) throw Failure(ARCERR_CANNOT_READ, "cannot read the file " + item.shownName + ": " + std::strerror(errno));
        if (n == 0) break;  // the file shrank: the archive pads the member
        if (archive_write_data(archive_, buffer_.data(), static_cast<size_t>(n)) < 0) Fail("cannot write " + shown_);
        done += static_cast<uint64_t>(n);
        progress.Step(done);
      }
    }
  } catch (...) {
    // The archive is given up; ending the member into the void releases
    // its compressor, which libarchive's ZIP writer keeps otherwise.
    discarding_ = true;
    archive_write_finish_entry(archive_);
    throw;
  }
  FinishEntry();
  return done;
}

void ArchiveWriter::Copy(archive_entry* entry, ArchiveReader& reader) {
  try {
    Check(archive_write_header(archive_, entry), "cannot write " + shown_);
    reader.ReadData([&](const void* block, size_t size) {
      if (archive_write_data(archive_, block, size) < 0) Fail("cannot write " + shown_);
    });
  } catch (...) {
    discarding_ = true;
    archive_write_finish_entry(archive_);
    throw;
  }
  FinishEntry();
}

void ArchiveWriter::FinishEntry() {
  if (archive_write_finish_entry(archive_) >= ARCHIVE_WARN) return;
  const int error = archive_errno(archive_);
  const char* why = archive_error_string(archive_);
  const std::string message = "cannot write " + shown_ + (why ? std::string(": ") + why : std::string());
  discarding_ = true;
  archive_write_finish_entry(archive_);
  RethrowStageFailure();
  throw Failure(error != 0 ? WriteErrorCode(error) : ARCERR_CANNOT_WRITE, message);
}

uint64_t ArchiveWriter::Commit() {
  Check(archive_write_close(archive_), "cannot write " + shown_);
  if (stage_) stage_->Finish();
  struct stat st;
  const uint64_t size = fstat(file_.Fd(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
  if (!file_.Commit()) throw WriteFailure(shown_);
  return size;
}

}  // namespace arc
