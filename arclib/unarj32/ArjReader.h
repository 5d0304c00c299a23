// ARJ archives as their published header layout describes them: a main
// header, then per member a local header (signature 0x60 0xEA, basic
// header with its CRC-32, extended headers) followed by the packed data.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace unarj32 {

// The time stamp is a DOS date and local time, except from a Unix host
// (host OS 2), whose arj writes seconds since 1970 (UTC).
constexpr uint8_t kArjHostUnix = 2;

struct ArjMember {
  std::string name;        // as stored
  uint8_t hostOs = 0, flags = 0, method = 0, fileType = 0;
  uint32_t stamp = 0, packed = 0, original = 0, crc = 0;
  uint16_t accessMode = 0;
  uint64_t dataOffset = 0;
};

class ArjReader {
 public:
  // Throws Failure: ARCERR_ARC_FILE_OPEN, or ARCERR_NOT_ARC_FILE when no
  // main header is found.
  explicit ArjReader(const std::string& posixPath);
  ~ArjReader();
  ArjReader(const ArjReader&) = delete;
  ArjReader& operator=(const ArjReader&) = delete;

  // The next member; false at the end mark. Throws for a damaged header.
  bool Next(ArjMember& m);
  // Decodes a member (checking its CRC-32) into sink; throws Failure
  // (ARCERR_METHOD, ARCERR_FILE_CRC, ARCERR_HEADER_BROKEN).
  void Extract(const ArjMember& m, const std::function<void(const void*, size_t)>& sink);

 private:
  bool ReadHeader(uint64_t at, std::string& basic, uint64_t& next);

  std::FILE* file_ = nullptr;
  uint64_t size_ = 0;
  uint64_t next_ = 0;
};

}  // namespace unarj32
