// The CRC-32 of every file header of a RAR 4 archive, in order, read from
// its block layout: libarchive does not check stored members against it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace unrar32 {

// Empty for what is not a RAR 4 archive (RAR 5 checks its own CRCs).
std::vector<uint32_t> Rar4FileCrcs(const std::string& posixPath);

}  // namespace unrar32
