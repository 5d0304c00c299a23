// How large an attachment is, and how large it grows in the message: mail
// carries it as base64 lines, and many servers refuse messages over 10 to
// 25 MB.
#pragma once

#include <cstdint>
#include <string>

namespace vx {

// The limit without a valid setting, in megabytes of the message part.
constexpr int kDefaultWarnSizeMB = 10;

// The size of a file of Size bytes as a message part: base64 in lines of
// 76 characters, each ended by CR LF.
std::uint64_t MessagePartSize(std::uint64_t Size);

// True when a part of PartSize bytes goes beyond WarnSizeMB megabytes
// (1 MB = 1,048,576 bytes); 0 or less never warns.
bool PartTooLarge(std::uint64_t PartSize, int WarnSizeMB);

// "12.3 MB": one decimal, rounded.
std::string MegabyteText(std::uint64_t Size);

// The size of the file at Path; false when there is no such file.
bool FileSizeOf(const std::string& Path, std::uint64_t& Size);

}  // namespace vx
