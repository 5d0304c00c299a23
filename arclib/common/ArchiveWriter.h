// Writing archives with libarchive into a temporary file beside the target,
// renamed over it only when the archive is complete. An output stage, when
// given, takes libarchive's plain stream and writes its own (compressed)
// stream to the file instead.
#pragma once

#include <archive.h>
#include <archive_entry.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "common/Locale.h"
#include "common/OutputStage.h"
#include "common/Progress.h"
#include "common/Sources.h"
#include "common/TempFile.h"

namespace arc {

class ArchiveReader;

class ArchiveWriter {
 public:
  // `configure` chooses format, filters and options. Throws Failure
  // (ARCERR_TMP_OPEN) when no file can be made beside the archive.
  ArchiveWriter(const std::string& archivePosix, const std::string& shownName,
                const std::function<void(struct archive*)>& configure,
                std::unique_ptr<OutputStage> stage = nullptr);
  ~ArchiveWriter();
  ArchiveWriter(const ArchiveWriter&) = delete;
  ArchiveWriter& operator=(const ArchiveWriter&) = delete;

  // Adds a file or directory from disk; returns the bytes read. Throws
  // Failure naming the file when it cannot be read or the archive written.
  uint64_t Add(const SourceItem& item, Progress& progress);
  // Copies the reader's current member (header and data).
  void Copy(archive_entry* entry, ArchiveReader& reader);
  // Finishes the archive and puts it in place; returns its size.
  uint64_t Commit();

 private:
  [[noreturn]] void Fail(const std::string& what);
  // A failure of the output stage (a full disk, no memory) is thrown as it
  // was, not as libarchive's report of a failed write.
  void RethrowStageFailure();
  void Check(int result, const std::string& what);
  // Ends the current member; on failure releases it and throws Failure.
  void FinishEntry();
  static la_ssize_t WriteCallback(struct archive* a, void* self, const void* data, size_t size);

  Utf8Locale locale_;
  std::string target_;
  std::string shown_;
  TempFile file_;
  struct archive* archive_ = nullptr;
  std::vector<char> buffer_;
  std::unique_ptr<OutputStage> stage_;
  std::exception_ptr stageFailure_;
  // Set once the archive is given up: libarchive may still flush, and
  // only frees a member's compressor when that flush succeeds.
  bool discarding_ = false;
};

}  // namespace arc
