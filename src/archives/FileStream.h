// A file opened through the platform's file services, closed by its
// destructor on every path. Failures raise stream errors naming the file.
#pragma once

#include <cstddef>
#include <string>

#include "platform/win32api.h"

namespace vx {

class TFileStream {
 public:
  enum class Mode {
    Create,             // created anew (an existing file is overwritten), exclusive
    OpenReadDenyWrite,  // others may read, not write
  };

  TFileStream(const std::string& FileName, Mode mode);
  ~TFileStream();
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  void WriteBuffer(const void* Buffer, std::size_t Count);
  // Copies the whole of Source, from its start, to this stream.
  void CopyFrom(TFileStream& Source);

 private:
  std::string FileName;
  HANDLE Handle = INVALID_HANDLE_VALUE;
};

}  // namespace vx
