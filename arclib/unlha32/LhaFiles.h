// Files for arclha: stdio streams closed on every path, a source that
// reports progress (and turns a stop request into a read failure that the
// caller recognises), and the conversion of arclha's results.
#pragma once

#include <cstdio>
#include <exception>
#include <string>

#include "common/Progress.h"
#include "lha.h"

namespace unlha32 {

class StdFile {
 public:
  StdFile(const std::string& posixPath, const char* mode);
  // Takes a duplicate of fd (the caller keeps its own).
  StdFile(int fd, const char* mode);
  ~StdFile();
  StdFile(const StdFile&) = delete;
  StdFile& operator=(const StdFile&) = delete;
  std::FILE* Get() const { return file_; }
  // Flushes and closes; false with errno when written data did not land.
  bool Close();

 private:
  std::FILE* file_ = nullptr;
};

// Reads a file for AddMember and reports each MiB to the progress.
class ProgressSource : public lha::ByteSource {
 public:
  ProgressSource(std::FILE* file, arc::Progress& progress) : inner_(file), progress_(progress) {}
  std::ptrdiff_t Read(uint8_t* data, size_t size) override;
  bool Seek(uint64_t offset) override;
  // What stopped the reading (a cancel), rethrown by the caller.
  std::exception_ptr stopped;

 private:
  lha::FileSource inner_;
  arc::Progress& progress_;
  uint64_t done_ = 0;
};

// The family's code for an arclha result.
int ResultCode(lha::Result r);

}  // namespace unlha32
