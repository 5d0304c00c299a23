#include "sfx/SfxPayload.h"

#include <elf.h>

#include <cstring>
#include <fstream>
#include <vector>

namespace sfx {

bool ElfImageEnd(const std::string& path, uint64_t& end) {
  std::ifstream in(path, std::ios::binary);
  Elf64_Ehdr eh{};
  if (!in.read(reinterpret_cast<char*>(&eh), sizeof eh) || std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0 ||
      eh.e_ident[EI_CLASS] != ELFCLASS64)
    return false;
  end = eh.e_shoff + uint64_t{eh.e_shnum} * eh.e_shentsize;
  for (unsigned i = 0; i < eh.e_phnum; ++i) {
    Elf64_Phdr ph{};
    in.seekg(static_cast<std::streamoff>(eh.e_phoff + uint64_t{i} * eh.e_phentsize));
    if (!in.read(reinterpret_cast<char*>(&ph), sizeof ph)) return false;
    end = std::max<uint64_t>(end, ph.p_offset + ph.p_filesz);
  }
  return true;
}

Kind PayloadKind(const std::string& path, uint64_t offset) {
  std::ifstream in(path, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(offset));
  std::vector<unsigned char> head(512, 0);
  in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
  const auto n = static_cast<size_t>(in.gcount());
  if (n >= 4 && std::memcmp(head.data(), "PK\x03\x04", 4) == 0) return Kind::Zip;
  if (n >= 4 && std::memcmp(head.data(), "MSCF", 4) == 0) return Kind::Cab;
  if (n >= 7 && head[2] == '-' && head[3] == 'l' && head[6] == '-') return Kind::Lha;
  if (n >= 3 && head[0] == 0x1F && (head[1] == 0x8B || head[1] == 0x9D)) return Kind::Tar;
  if (n >= 3 && std::memcmp(head.data(), "BZh", 3) == 0) return Kind::Tar;
  if (n >= 262 && std::memcmp(head.data() + 257, "ustar", 5) == 0) return Kind::Tar;
  return Kind::None;
}

}  // namespace sfx
