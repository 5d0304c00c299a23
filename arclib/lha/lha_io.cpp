#include "lha_io.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace lha {

namespace {

// Absolute stream position for an offset from `base`, or -1 when it does not
// fit the stream's position type.
long StreamPos(long base, uint64_t offset) {
  if (base < 0 || offset > static_cast<uint64_t>(std::numeric_limits<long>::max() - base)) {
    return -1;
  }
  return base + static_cast<long>(offset);
}

}  // namespace

FileSink::FileSink(std::FILE* file) : file_(file), base_(file ? std::ftell(file) : -1) {}

bool FileSink::Write(const uint8_t* data, size_t size) {
  if (!file_ || base_ < 0) return false;
  return size == 0 || std::fwrite(data, 1, size, file_) == size;
}

bool FileSink::Seek(uint64_t offset) {
  const long pos = StreamPos(base_, offset);
  return file_ && pos >= 0 && std::fseek(file_, pos, SEEK_SET) == 0;
}

VectorSink::VectorSink(std::vector<uint8_t>& out) : out_(out), base_(out.size()), pos_(out.size()) {}

bool VectorSink::Write(const uint8_t* data, size_t size) {
  const size_t overlap = std::min(size, out_.size() - pos_);
  if (overlap > 0) std::memcpy(out_.data() + pos_, data, overlap);
  out_.insert(out_.end(), data + overlap, data + size);
  pos_ += size;
  return true;
}

bool VectorSink::Seek(uint64_t offset) {
  if (offset > out_.size() - base_) return false;
  pos_ = base_ + static_cast<size_t>(offset);
  return true;
}

FileSource::FileSource(std::FILE* file) : file_(file), base_(file ? std::ftell(file) : -1) {}

std::ptrdiff_t FileSource::Read(uint8_t* data, size_t size) {
  if (!file_ || base_ < 0) return -1;
  const size_t got = std::fread(data, 1, size, file_);
  if (got < size && std::ferror(file_)) return -1;
  return static_cast<std::ptrdiff_t>(got);
}

bool FileSource::Seek(uint64_t offset) {
  const long pos = StreamPos(base_, offset);
  return file_ && pos >= 0 && std::fseek(file_, pos, SEEK_SET) == 0;
}

std::ptrdiff_t MemorySource::Read(uint8_t* data, size_t size) {
  const size_t n = std::min(size, data_.size() - pos_);
  if (n > 0) std::memcpy(data, data_.data() + pos_, n);
  pos_ += n;
  return static_cast<std::ptrdiff_t>(n);
}

bool MemorySource::Seek(uint64_t offset) {
  if (offset > data_.size()) return false;
  pos_ = static_cast<size_t>(offset);
  return true;
}

}  // namespace lha
