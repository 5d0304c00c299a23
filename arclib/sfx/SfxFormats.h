// One reader per archive family the stub unpacks. Each hands its members to
// the unpacker and reports damage, unsupported methods and encryption by
// member name; none writes a byte it has not checked.
#pragma once

#include <cstdint>
#include <ctime>

#include "sfx/SfxPayload.h"
#include "sfx/SfxUnpacker.h"

namespace sfx {

void UnpackZip(const Payload& archive, Unpacker& out);  // stored, deflate; CRC-32
void UnpackCab(const Payload& archive, Unpacker& out);  // none, MSZIP; block checksums
void UnpackLha(const Payload& archive, Unpacker& out);  // -lh0-, -lh4- to -lh7-; CRC-16
void UnpackTar(const Payload& archive, Unpacker& out);  // plain, gzip or bzip2 tar

inline uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t Le32(const uint8_t* p) { return Le16(p) | static_cast<uint32_t>(Le16(p + 2)) << 16; }
inline uint64_t Le64(const uint8_t* p) { return Le32(p) | static_cast<uint64_t>(Le32(p + 4)) << 32; }

// MS-DOS date and time words, as local time.
std::time_t DosTime(uint16_t date, uint16_t time);

}  // namespace sfx
