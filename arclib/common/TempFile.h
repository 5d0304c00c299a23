// A file written beside its target under a temporary name and renamed over
// the target only when complete, so a failure never leaves a half-written
// file in place of a good one.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace arc {

class TempFile {
 public:
  TempFile() = default;
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  // Creates the temporary file in the target's directory. False with errno.
  bool Open(const std::string& target, mode_t mode = 0666);
  int Fd() const { return fd_; }
  const std::string& Path() const { return path_; }
  // Closes and renames over the target. False with errno (the temporary
  // file is then removed).
  bool Commit();
  // Closes and removes the temporary file.
  void Discard();

 private:
  std::string target_;
  std::string path_;
  int fd_ = -1;
  mode_t mode_ = 0666;
};

// Writes all bytes; false with errno (ENOSPC when the disk is full).
bool WriteAll(int fd, const void* data, size_t size);
// Writes all bytes at that offset (the file position stays); false with errno.
bool WriteAllAt(int fd, const void* data, size_t size, uint64_t at);
// Reads up to size bytes, retrying on interruption; -1 with errno.
ssize_t ReadSome(int fd, void* data, size_t size);

}  // namespace arc
