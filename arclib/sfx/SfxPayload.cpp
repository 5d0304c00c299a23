#include "sfx/SfxPayload.h"

#include <elf.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace sfx {

namespace {

bool ReadFull(int fd, uint64_t offset, void* data, size_t n) {
  auto* p = static_cast<unsigned char*>(data);
  while (n > 0) {
    const ssize_t got = pread(fd, p, n, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    p += got;
    offset += static_cast<uint64_t>(got);
    n -= static_cast<size_t>(got);
  }
  return true;
}

}  // namespace

bool ElfImageEnd(int fd, uint64_t& end) {
  Elf64_Ehdr eh{};
  if (!ReadFull(fd, 0, &eh, sizeof eh) || std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0 ||
      eh.e_ident[EI_CLASS] != ELFCLASS64)
    return false;
  end = eh.e_shoff + uint64_t{eh.e_shnum} * eh.e_shentsize;
  for (unsigned i = 0; i < eh.e_phnum; ++i) {
    Elf64_Phdr ph{};
    if (!ReadFull(fd, eh.e_phoff + uint64_t{i} * eh.e_phentsize, &ph, sizeof ph)) return false;
    end = std::max<uint64_t>(end, ph.p_offset + ph.p_filesz);
  }
  return true;
}

Kind PayloadKind(int fd, uint64_t offset) {
  unsigned char head[512] = {};
  size_t n = 0;
  while (n < sizeof head) {
    const ssize_t got = pread(fd, head + n, sizeof head - n, static_cast<off_t>(offset + n));
    if (got <= 0) break;
    n += static_cast<size_t>(got);
  }
  if (n >= 4 && std::memcmp(head, "PK\x03\x04", 4) == 0) return Kind::Zip;
  if (n >= 4 && std::memcmp(head, "MSCF", 4) == 0) return Kind::Cab;
  if (n >= 7 && head[2] == '-' && head[3] == 'l' && head[6] == '-') return Kind::Lha;
  if (n >= 3 && head[0] == 0x1F && head[1] == 0x8B) return Kind::Tar;
  if (n >= 3 && std::memcmp(head, "BZh", 3) == 0) return Kind::Tar;
  if (n >= 262 && std::memcmp(head + 257, "ustar", 5) == 0) return Kind::Tar;
  return Kind::None;
}

bool Payload::ReadAt(uint64_t offset, void* data, size_t n) const {
  if (offset > size || n > size - offset) return false;
  return ReadFull(fd, base + offset, data, n);
}

std::ptrdiff_t Payload::ReadSome(uint64_t offset, void* data, size_t n) const {
  if (offset >= size) return 0;
  n = static_cast<size_t>(std::min<uint64_t>(n, size - offset));
  for (;;) {
    const ssize_t got = pread(fd, data, n, static_cast<off_t>(base + offset));
    if (got < 0 && errno == EINTR) continue;
    return got;
  }
}

}  // namespace sfx
