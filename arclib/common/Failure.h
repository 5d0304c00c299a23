// The one error type inside our libraries. It never crosses an entry: the
// entry turns it into the family's result code and a line of the report.
#pragma once

#include <cerrno>
#include <cstring>
#include <exception>
#include <string>

namespace arc {

class Failure : public std::exception {
 public:
  Failure(int code, std::string message) : code_(code), message_(std::move(message)) {}
  int Code() const { return code_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  int code_;
  std::string message_;
};

// A member whose data ended before its recorded size (ARCERR_HEADER_BROKEN).
class CutShort : public Failure {
 public:
  explicit CutShort(std::string message) : Failure(0x8017 /* ARCERR_HEADER_BROKEN */, std::move(message)) {}
};

// The family's code for a member that needs a passphrase (none is taken).
#ifndef ARCERR_PASSWORD
#define ARCERR_PASSWORD 0x800A
#endif

// The family's code for the errno of a failed write: a full disk (or a
// file-size limit) is told apart from other failures.
inline int WriteErrorCode(int error) {
  return error == ENOSPC || error == EFBIG || error == EDQUOT ? 0x8005 /* ARCERR_DISK_SPACE */
                                                              : 0x8013 /* ARCERR_CANNOT_WRITE */;
}

// The failure of writing `shown` that errno tells: its code and reason.
inline Failure WriteFailure(const std::string& shown) {
  const int error = errno;
  return Failure(WriteErrorCode(error), "cannot write " + shown + ": " + std::strerror(error));
}

}  // namespace arc
