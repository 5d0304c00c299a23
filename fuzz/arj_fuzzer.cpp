// UNARJ32J.DLL on any bytes, through the check, listing and test entries.
// Every header of an ARJ archive carries a CRC-32: the mutator mends them
// after each change, so that inputs get past the headers into the decoder.
#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "ArchiveEntries.h"

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace {

unsigned Word(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t Long(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
void PutLong(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Writes the CRC of the `length` bytes at `at` behind them; false when they
// do not fit.
bool MendCrc(uint8_t* data, size_t size, size_t at, size_t length) {
  if (at + length + 4 > size) return false;
  PutLong(data + at + length, static_cast<uint32_t>(crc32(0, data + at, static_cast<uInt>(length))));
  return true;
}

// Headers follow each other from the first 60 EA: the main header, then
// one per member with its packed data behind its extended headers.
void MendHeaders(uint8_t* data, size_t size) {
  const uint8_t* first = static_cast<const uint8_t*>(std::memchr(data, 0x60, size));
  size_t at = first == nullptr ? size : static_cast<size_t>(first - data);
  for (bool main = true; at + 4 <= size && data[at] == 0x60 && data[at + 1] == 0xEA; main = false) {
    const size_t length = Word(data + at + 2);
    if (length == 0 || !MendCrc(data, size, at + 4, length)) return;
    const uint32_t packed = length >= 16 && !main ? Long(data + at + 4 + 12) : 0;
    size_t next = at + 4 + length + 4;
    while (next + 2 <= size) {
      const size_t extended = Word(data + next);
      next += 2;
      if (extended == 0) break;
      if (!MendCrc(data, size, next, extended)) return;
      next += extended + 4;
    }
    if (packed > size - std::min(next, size)) return;
    at = next + packed;
  }
}

}  // namespace

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int) {
  size = LLVMFuzzerMutate(data, size, maxSize);
  MendHeaders(data, size);
  return size;
}

VXFUZZ_ARCHIVE_TARGET(Unarj, ".arj", "t")
