#include "archives/FileStream.h"

#include <vector>

#include "archives/Exceptions.h"

namespace vx {

TFileStream::TFileStream(const std::string& fileName, Mode mode) : FileName(fileName) {
  if (mode == Mode::Create) {
    Handle = CreateFileA(FileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (Handle == INVALID_HANDLE_VALUE)
      throw EFCreateError("Cannot create file \"" + FileName + "\"");
  } else {
    Handle = CreateFileA(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (Handle == INVALID_HANDLE_VALUE) throw EFOpenError("Cannot open file \"" + FileName + "\"");
  }
}

TFileStream::~TFileStream() {
  if (Handle != INVALID_HANDLE_VALUE) CloseHandle(Handle);
}

void TFileStream::WriteBuffer(const void* Buffer, std::size_t Count) {
  const char* p = static_cast<const char*>(Buffer);
  while (Count > 0) {
    const DWORD chunk = Count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(Count);
    DWORD written = 0;
    if (!WriteFile(Handle, p, chunk, &written, nullptr) || written == 0)
      throw EWriteError("Stream write error: \"" + FileName + "\"");
    p += written;
    Count -= written;
  }
}

void TFileStream::CopyFrom(TFileStream& Source) {
  if (SetFilePointer(Source.Handle, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
    throw EReadError("Stream read error: \"" + Source.FileName + "\"");
  std::vector<char> buffer(1 << 16);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(Source.Handle, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
      throw EReadError("Stream read error: \"" + Source.FileName + "\"");
    if (got == 0) break;
    WriteBuffer(buffer.data(), got);
  }
}

}  // namespace vx
