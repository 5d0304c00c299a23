#include "unlha32/LhaFiles.h"

#include <unistd.h>

#include <cerrno>

#include "archives/ArchiverDll.h"
#include "common/Failure.h"

namespace unlha32 {

StdFile::StdFile(const std::string& posixPath, const char* mode) : file_(std::fopen(posixPath.c_str(), mode)) {}

StdFile::StdFile(int fd, const char* mode) {
  const int copy = dup(fd);
  if (copy >= 0) {
    file_ = fdopen(copy, mode);
    if (file_ == nullptr) close(copy);
  }
}

StdFile::~StdFile() {
  if (file_ != nullptr) std::fclose(file_);
}

bool StdFile::Close() {
  if (file_ == nullptr) return false;
  const bool ok = std::fflush(file_) == 0 && !std::ferror(file_);
  const int error = errno;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!ok) errno = error;
  return ok && closed;
}

std::ptrdiff_t ProgressSource::Read(uint8_t* data, size_t size) {
  const std::ptrdiff_t n = inner_.Read(data, size);
  if (n > 0) {
    done_ += static_cast<uint64_t>(n);
    try {
      progress_.Step(done_);
    } catch (...) {
      stopped = std::current_exception();
      return -1;
    }
  }
  return n;
}

bool ProgressSource::Seek(uint64_t offset) {
  done_ = offset;
  return inner_.Seek(offset);
}

int ResultCode(lha::Result r) {
  switch (r) {
    case lha::Result::Ok:
    case lha::Result::End:
      return 0;
    case lha::Result::WriteError:
      return ARCERR_CANNOT_WRITE;
    case lha::Result::ReadError:
      return ARCERR_CANNOT_READ;
    case lha::Result::BadName:
      return ARCERR_NOT_FILENAME;
    case lha::Result::TooLarge:
      return ARCERR_NOT_SUPPORT;
    case lha::Result::Corrupt:
      return ARCERR_HEADER_BROKEN;
    case lha::Result::CrcMismatch:
      return ARCERR_FILE_CRC;
    case lha::Result::Unsupported:
      return ARCERR_METHOD;
    case lha::Result::BadState:
      return ARCERR_CANNOT_WRITE;
  }
  return ARCERR_START;
}

}  // namespace unlha32
