// Byte sinks and sources the writer and reader work on. Offsets are counted
// from the position a sink or source had when it was made, so an archive can
// sit behind other data (a self-extractor stub) in the same file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <vector>

namespace lha {

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual bool Write(const uint8_t* data, size_t size) = 0;
  // Moves the write position to `offset`; the writer goes back to finish a
  // member's header once its data is written.
  virtual bool Seek(uint64_t offset) = 0;
};

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `size` bytes: the count read, 0 at the end, -1 on an error.
  virtual std::ptrdiff_t Read(uint8_t* data, size_t size) = 0;
  // Moves the read position to `offset`; the writer rewinds to store a member
  // that does not shrink, the reader jumps from member to member.
  virtual bool Seek(uint64_t offset) = 0;
};

// Writes to a stdio stream opened for binary writing (and seeking). The
// stream stays the caller's.
class FileSink : public ByteSink {
 public:
  explicit FileSink(std::FILE* file);
  bool Write(const uint8_t* data, size_t size) override;
  bool Seek(uint64_t offset) override;

 private:
  std::FILE* file_;
  long base_;
};

// Writes into a vector, starting at its current end.
class VectorSink : public ByteSink {
 public:
  explicit VectorSink(std::vector<uint8_t>& out);
  bool Write(const uint8_t* data, size_t size) override;
  bool Seek(uint64_t offset) override;

 private:
  std::vector<uint8_t>& out_;
  size_t base_;
  size_t pos_;
};

// Reads a stdio stream opened for binary reading. The stream stays the
// caller's.
class FileSource : public ByteSource {
 public:
  explicit FileSource(std::FILE* file);
  std::ptrdiff_t Read(uint8_t* data, size_t size) override;
  bool Seek(uint64_t offset) override;

 private:
  std::FILE* file_;
  long base_;
};

// Reads bytes the caller keeps alive.
class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::span<const uint8_t> data) : data_(data) {}
  std::ptrdiff_t Read(uint8_t* data, size_t size) override;
  bool Seek(uint64_t offset) override;

 private:
  std::span<const uint8_t> data_;
  size_t pos_ = 0;
};

}  // namespace lha
