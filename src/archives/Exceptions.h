// The exceptions the framework raises. Every message is code page 932 text
// that callers show to the user unchanged.
#pragma once

#include <stdexcept>
#include <string>

namespace vx {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// Everything the framework and the back-ends detect themselves.
class EArchiver : public Exception {
 public:
  using Exception::Exception;
};

// A copy between persistent objects of unrelated classes.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// File-stream failures; they name the file.
class EStreamError : public Exception {
 public:
  using Exception::Exception;
};
class EFCreateError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EReadError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

}  // namespace vx
