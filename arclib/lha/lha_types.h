// Types shared by the LHA writer and reader.
#pragma once

#include <cstdint>
#include <string>

namespace lha {

// Outcome of every library operation; nothing in this library throws for a
// bad archive or a failing file (only std::bad_alloc can escape).
enum class Result {
  Ok,
  End,          // reader: no more members (end mark or end of data)
  WriteError,   // the sink refused bytes or a seek
  ReadError,    // the source failed while reading
  BadName,      // empty name, empty path component, or too long for a header
  TooLarge,     // writer: member of 4 GiB or more in a header without 64-bit sizes
  Corrupt,      // malformed header or compressed data
  CrcMismatch,  // data decoded but its CRC-16 differs from the header's
  Unsupported,  // a method or header level this library does not decode
  BadState,     // call after Finish() or after a failed write
};

// Short English text for a result, for reports and test messages.
const char* ResultText(Result r);

// What the caller says about a member to be added.
struct MemberInfo {
  // Path inside the archive in code page 932 bytes, components separated by
  // '\\' (a '/' is taken as a separator too). A trailing separator is
  // ignored. The second byte of a double-byte character is never taken as a
  // separator.
  std::string name;
  bool directory = false;
  uint32_t unixTime = 0;        // modification time, seconds since 1970 UTC
  uint8_t dosAttributes = 0x20; // MS-DOS attributes (0x10 is set for directories)
  // The size the data is expected to have (the file's size when listed).
  // The header is written before the data and cannot grow afterwards, so
  // this decides whether it carries 64-bit sizes.
  uint64_t expectedSize = 0;
};

// What AddMember wrote.
struct AddResult {
  std::string method;           // "-lh0-", "-lh5-" or "-lhd-"
  uint64_t originalSize = 0;
  uint64_t compressedSize = 0;  // bytes of member data after the header
  uint16_t crc16 = 0;           // CRC-16 of the original data
  uint64_t headerOffset = 0;    // offset of the member's header from the writer's start
};

// A member as the reader found it.
struct MemberHeader {
  std::string method;           // five bytes, e.g. "-lh5-"
  // Code page 932, '\\' separated, no empty components or trailing
  // separator. Taken from the archive as it is: it may be empty, start with
  // '\\', hold a drive letter or "..", so check it before extracting.
  std::string name;
  bool directory = false;       // "-lhd-" that is no link
  // A Unix symbolic link: "-lhd-" with the target after a '|' in the name
  // (or a link mode); `name` is the link's own name, `linkTarget` the raw
  // target, '/' separated as Unix wrote it. No data.
  bool symlink = false;
  std::string linkTarget;
  uint64_t compressedSize = 0;  // member data size (extended headers of level 1 excluded)
  uint64_t originalSize = 0;    // 64-bit sizes come from extended header 0x42
  // Level 2 and 3 times and the Unix extensions of level 0 and 1 are UTC;
  // a bare MS-DOS time of level 0 or 1 is converted as local time.
  uint32_t unixTime = 0;
  uint16_t crc16 = 0;
  uint16_t unixMode = 0;        // Unix mode bits when the header has them, else 0
  uint8_t dosAttributes = 0x20;
  uint8_t level = 0;            // header level 0 to 3
  char osId = 0;                // 'M', 'U', 'w', ... (0 when the header has none)
  uint64_t headerOffset = 0;    // offsets from the reader's start
  uint64_t dataOffset = 0;
  uint64_t totalSize = 0;       // header, extended headers and data: what a raw copy moves
};

}  // namespace lha
