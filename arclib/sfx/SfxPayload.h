// The archive appended to a self-extracting program: where it begins (right
// after the ELF image, the end of its section header table or its last
// segment), what kind it is, and reads by offset from its start.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace sfx {

// False when the file is no 64-bit ELF image.
bool ElfImageEnd(int fd, uint64_t& end);

enum class Kind { None, Zip, Cab, Lha, Tar };
// The kind of archive at offset by its first bytes.
Kind PayloadKind(int fd, uint64_t offset);

struct Payload {
  int fd = -1;
  uint64_t base = 0;  // where the archive starts in the program
  uint64_t size = 0;  // bytes from there to the program's end
  // Exactly n bytes at offset from the archive's start; false when the
  // archive ends first or the read fails.
  bool ReadAt(uint64_t offset, void* data, size_t n) const;
  // Up to n bytes; the count read, 0 at the end, -1 on an error.
  std::ptrdiff_t ReadSome(uint64_t offset, void* data, size_t n) const;
};

}  // namespace sfx
