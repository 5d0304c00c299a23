// Where the archive appended to a program begins: right after the ELF
// image (the end of its section header table or its last segment).
#pragma once

#include <cstdint>
#include <string>

namespace sfx {

// False when the file is no 64-bit ELF image.
bool ElfImageEnd(const std::string& path, uint64_t& end);

enum class Kind { None, Zip, Cab, Lha, Tar };
// The kind of archive at offset by its first bytes.
Kind PayloadKind(const std::string& path, uint64_t offset);

}  // namespace sfx
