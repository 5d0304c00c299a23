#include "lha_reader.h"

#include <cstring>
#include <ctime>
#include <string>

#include "bit_reader.h"
#include "crc16.h"
#include "lh1_decoder.h"
#include "lh5_decoder.h"
#include "lzss_decoder.h"
#include "lha_header.h"

namespace lha {

namespace {

using detail::Get16;
using detail::Get32;

constexpr size_t kChunk = 1 << 16;

// MS-DOS date and time (date in the high word) as local time; 0 (no time)
// for a date without day or month, as some writers leave it.
uint32_t DosToUnix(uint32_t t) {
  if (((t >> 16) & 0x1F) == 0 || ((t >> 21) & 0x0F) == 0) return 0;
  std::tm tm{};
  tm.tm_sec = static_cast<int>(t & 0x1F) * 2;
  tm.tm_min = static_cast<int>((t >> 5) & 0x3F);
  tm.tm_hour = static_cast<int>((t >> 11) & 0x1F);
  tm.tm_mday = static_cast<int>((t >> 16) & 0x1F);
  tm.tm_mon = static_cast<int>((t >> 21) & 0x0F) - 1;
  tm.tm_year = static_cast<int>((t >> 25) & 0x7F) + 80;
  tm.tm_isdst = -1;
  const std::time_t u = std::mktime(&tm);
  return u < 0 ? 0 : static_cast<uint32_t>(u);
}

// Path in the archive's form (0xFF, '/' or '\\' between components) to
// '\\' separators, without empty components or a trailing separator. A
// leading separator stays, and so does a "..", for the caller to judge.
std::string NormalizeName(const std::string& raw) {
  std::string out;
  std::string part;
  bool rooted = false;
  auto endPart = [&]() {
    if (part.empty()) return;
    if (!out.empty() || rooted) out += '\\';
    out += part;
    part.clear();
  };
  for (size_t i = 0; i < raw.size(); ++i) {
    const auto c = static_cast<uint8_t>(raw[i]);
    if (detail::IsLeadByte(c) && i + 1 < raw.size() &&
        detail::IsTrailByte(static_cast<uint8_t>(raw[i + 1]))) {
      part += raw[i];
      part += raw[++i];
    } else if (c == 0xFF || c == '/' || c == '\\') {
      if (i == 0) rooted = true;
      endPart();
    } else {
      part += raw[i];
    }
  }
  endPart();
  if (out.empty() && rooted) out = "\\";
  return out;
}

// Name parts that extended headers give.
struct ExtNames {
  bool hasFile = false, hasDir = false;
  std::string file, dir;
};

// Takes what an extended header says about the member.
void TakeExt(uint8_t type, const uint8_t* data, size_t size, MemberHeader* m, ExtNames* names) {
  switch (type) {
    case 0x01:
      names->hasFile = true;
      names->file.assign(reinterpret_cast<const char*>(data), size);
      break;
    case 0x02:
      names->hasDir = true;
      names->dir.assign(reinterpret_cast<const char*>(data), size);
      break;
    case 0x40:
      if (size >= 1) m->dosAttributes = data[0];
      break;
    case 0x42:  // 64-bit compressed and original sizes
      if (size >= 16 && m->level >= 2) {
        m->compressedSize = Get32(data) | static_cast<uint64_t>(Get32(data + 4)) << 32;
        m->originalSize = Get32(data + 8) | static_cast<uint64_t>(Get32(data + 12)) << 32;
      }
      break;
    case 0x50:
      if (size >= 2) m->unixMode = Get16(data);
      break;
    case 0x54:
      if (size >= 4) m->unixTime = Get32(data);
      break;
    default:
      break;
  }
}

// The position of the first '|' outside double-byte characters, or npos.
size_t FindBar(const std::string& s) {
  for (size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<uint8_t>(s[i]);
    if (detail::IsLeadByte(c) && i + 1 < s.size() && detail::IsTrailByte(static_cast<uint8_t>(s[i + 1]))) {
      ++i;
    } else if (c == '|') {
      return i;
    }
  }
  return std::string::npos;
}

// A link target with '/' between its parts, however the header split it
// (a directory header ends in a separator before the file name part).
std::string LinkTarget(const std::string& raw) {
  std::string out;
  for (size_t i = 0; i < raw.size(); ++i) {
    const auto c = static_cast<uint8_t>(raw[i]);
    if (detail::IsLeadByte(c) && i + 1 < raw.size() && detail::IsTrailByte(static_cast<uint8_t>(raw[i + 1]))) {
      out += raw[i];
      out += raw[++i];
    } else if (c == 0xFF || c == '/' || c == '\\') {
      if (out.empty() || out.back() != '/') out += '/';
    } else {
      out += raw[i];
    }
  }
  return out;
}

void ApplyNames(const std::string& baseName, const ExtNames& names, MemberHeader* m) {
  std::string path = names.hasFile ? names.file : baseName;
  if (names.hasDir && !names.dir.empty()) path = names.dir + '\xFF' + path;
  // Unix LHA programs store a symbolic link as a directory entry named
  // "link|target".
  const bool linkMode = (m->unixMode & 0xF000) == 0xA000;
  const size_t bar = m->method == "-lhd-" ? FindBar(path) : std::string::npos;
  if (bar != std::string::npos || (linkMode && m->method == "-lhd-")) {
    m->symlink = true;
    if (bar != std::string::npos) {
      m->linkTarget = LinkTarget(path.substr(bar + 1));
      path.resize(bar);
    }
  }
  m->name = NormalizeName(path);
}

bool IsStored(const std::string& method) {
  return method == "-lh0-" || method == "-lz4-" || method == "-pm0-";
}

// Window bits of the methods in the -lh5- block format.
int BlockDicBits(const std::string& method) {
  if (method == "-lh4-") return 12;
  if (method == "-lh5-") return 13;
  if (method == "-lh6-") return 15;
  if (method == "-lh7-") return 16;
  // UNLHA32's large-window method has the same block format. A 4 MiB
  // window serves any smaller one the writer used; data that would need
  // more has position codes beyond the tree and fails as damaged.
  if (method == "-lhx-") return 22;
  return 0;
}

// Headers larger than this are damage, not members.
constexpr uint64_t kMaxHeader = 1 << 20;

Result ReadAt(ByteSource& source, uint64_t offset, uint8_t* data, size_t size) {
  if (!source.Seek(offset)) return Result::Corrupt;
  size_t got = 0;
  while (got < size) {
    const std::ptrdiff_t n = source.Read(data + got, size - got);
    if (n < 0) return Result::ReadError;
    if (n == 0) return Result::Corrupt;  // archive cut short
    got += static_cast<size_t>(n);
  }
  return Result::Ok;
}

}  // namespace

bool LhaReader::CanDecode(const std::string& method) {
  return IsStored(method) || method == "-lhd-" || BlockDicBits(method) != 0 || method == "-lh1-" ||
         method == "-lzs-" || method == "-lz5-";
}

Result LhaReader::ReadExact(uint64_t offset, uint8_t* data, size_t size) {
  return ReadAt(source_, offset, data, size);
}

namespace {

// Levels 0 and 1 at `at`.
Result ReadOldHeader(ByteSource& source, uint64_t at, const uint8_t* base, MemberHeader* m,
                     ExtNames* names, std::string* baseName) {
  // Byte 0: header size after the first two bytes; byte 1: their sum.
  const size_t size = static_cast<size_t>(base[0]) + 2;
  if (size < 24) return Result::Corrupt;
  std::vector<uint8_t> h(size);
  Result r = ReadAt(source, at, h.data(), size);
  if (r != Result::Ok) return r;
  uint8_t sum = 0;
  for (size_t i = 2; i < size; ++i) sum = static_cast<uint8_t>(sum + h[i]);
  if (sum != h[1]) return Result::Corrupt;
  const size_t nameLen = h[21];
  const size_t afterCrc = 22 + nameLen + 2;
  if (afterCrc > size) return Result::Corrupt;
  baseName->assign(reinterpret_cast<const char*>(&h[22]), nameLen);
  m->crc16 = Get16(&h[22 + nameLen]);
  m->unixTime = DosToUnix(Get32(&h[15]));
  m->dosAttributes = h[19];
  uint64_t offset = at + size;
  if (m->level == 0) {
    if (size > afterCrc) m->osId = static_cast<char>(h[afterCrc]);
    // The Unix extension: 'U', a version byte, the UTC time and the mode
    // (then user and group ids).
    if (m->osId == 'U' && size >= afterCrc + 8) {
      m->unixTime = Get32(&h[afterCrc + 2]);
      m->unixMode = Get16(&h[afterCrc + 6]);
    }
  } else {
    if (size < afterCrc + 3) return Result::Corrupt;
    m->osId = static_cast<char>(h[size - 3]);
    // Extended headers follow the base header; the packed size counts them.
    uint32_t next = Get16(&h[size - 2]);
    uint64_t extTotal = 0;
    std::vector<uint8_t> e;
    while (next != 0) {
      if (next < 3 || extTotal + next > m->compressedSize) return Result::Corrupt;
      e.resize(next);
      r = ReadAt(source, offset, e.data(), next);
      if (r != Result::Ok) return r;
      TakeExt(e[0], &e[1], next - 3, m, names);
      offset += next;
      extTotal += next;
      next = Get16(&e[next - 2]);
    }
    m->compressedSize -= extTotal;
  }
  m->dataOffset = offset;
  return Result::Ok;
}

// Levels 2 and 3: the header size counts everything up to the data; the
// extended headers' "next size" fields are 2 and 4 bytes wide.
Result ReadNewHeader(ByteSource& source, uint64_t at, MemberHeader* m, ExtNames* names) {
  const bool level3 = m->level == 3;
  const size_t fixed = level3 ? 32 : 26;
  uint8_t start[32];
  Result r = ReadAt(source, at, start, fixed);
  if (r != Result::Ok) return r;
  if (level3 && Get16(start) != 4) return Result::Corrupt;  // the "word size"
  uint64_t size = level3 ? Get32(start + 24) : Get16(start);
  if (size < fixed || size > kMaxHeader) return Result::Corrupt;
  std::vector<uint8_t> h(static_cast<size_t>(size));
  r = ReadAt(source, at, h.data(), h.size());
  if (r != Result::Ok) return r;
  m->unixTime = Get32(&h[15]);
  m->crc16 = Get16(&h[21]);
  m->osId = static_cast<char>(h[23]);
  const unsigned width = level3 ? 4 : 2;
  auto nextAt = [&](size_t at) { return level3 ? Get32(&h[at]) : Get16(&h[at]); };
  size_t pos = fixed;
  uint64_t next = nextAt(fixed - width);
  size_t crcPos = 0;
  bool grown = false;
  while (next != 0) {
    if (next < 1 + width || next > kMaxHeader) return Result::Corrupt;
    if (pos + next > h.size()) {
      // One old writer's level-2 headers count two bytes too few: the last
      // extended header ends two bytes past the stated size.
      if (level3 || grown || pos + next != h.size() + 2) return Result::Corrupt;
      uint8_t more[2];
      r = ReadAt(source, at + h.size(), more, 2);
      if (r != Result::Ok) return r;
      h.insert(h.end(), more, more + 2);
      grown = true;
    }
    if (h[pos] == 0x00 && next >= 3 + width) crcPos = pos + 1;
    TakeExt(h[pos], &h[pos + 1], static_cast<size_t>(next) - 1 - width, m, names);
    const size_t here = pos;
    pos += static_cast<size_t>(next);
    next = nextAt(here + static_cast<size_t>(next) - width);
  }
  if (grown && pos != h.size()) return Result::Corrupt;
  if (crcPos != 0) {
    const uint16_t stored = Get16(&h[crcPos]);
    h[crcPos] = h[crcPos + 1] = 0;
    if (Crc16(h.data(), h.size()) != stored) return Result::Corrupt;
  }
  m->dataOffset = at + h.size();
  return Result::Ok;
}

}  // namespace

Result LhaReader::Next(MemberHeader* member) {
  if (done_) return Result::End;
  done_ = true;  // until this header proves sound
  MemberHeader m;
  m.headerOffset = next_;

  uint8_t first = 0;
  if (!source_.Seek(next_)) return Result::End;
  const std::ptrdiff_t n = source_.Read(&first, 1);
  if (n < 0) return Result::ReadError;
  if (n == 0 || first == 0) return Result::End;

  uint8_t base[22];
  Result r = ReadExact(next_, base, sizeof base);
  if (r != Result::Ok) return r;
  m.level = base[20];
  m.method.assign(reinterpret_cast<const char*>(base + 2), 5);
  if (m.method[0] != '-' || m.method[4] != '-') return Result::Corrupt;
  m.compressedSize = Get32(base + 7);
  m.originalSize = Get32(base + 11);
  ExtNames names;
  std::string baseName;

  if (m.level == 0 || m.level == 1) {
    r = ReadOldHeader(source_, next_, base, &m, &names, &baseName);
  } else if (m.level == 2 || m.level == 3) {
    r = ReadNewHeader(source_, next_, &m, &names);
  } else {
    r = Result::Corrupt;
  }
  if (r != Result::Ok) return r;

  ApplyNames(baseName, names, &m);
  m.directory = m.method == "-lhd-" && !m.symlink;
  m.totalSize = m.dataOffset - m.headerOffset + m.compressedSize;
  next_ = m.dataOffset + m.compressedSize;
  done_ = false;
  *member = std::move(m);
  return Result::Ok;
}

Result LhaReader::Extract(const MemberHeader& member, const DataFn& out) {
  if (member.directory || member.symlink) return Result::Ok;
  if (!CanDecode(member.method)) return Result::Unsupported;
  uint16_t crc = 0;
  const detail::OutputFn sink = [&](const uint8_t* p, size_t n) {
    crc = Crc16Update(crc, p, n);
    return out(p, n);
  };
  if (!source_.Seek(member.dataOffset)) return Result::Corrupt;

  if (IsStored(member.method)) {
    if (member.compressedSize != member.originalSize) return Result::Corrupt;
    std::vector<uint8_t> chunk(kChunk);
    uint64_t left = member.originalSize;
    while (left > 0) {
      const size_t want = left < chunk.size() ? static_cast<size_t>(left) : chunk.size();
      const std::ptrdiff_t n = source_.Read(chunk.data(), want);
      if (n < 0) return Result::ReadError;
      if (n == 0) return Result::Corrupt;
      if (!sink(chunk.data(), static_cast<size_t>(n))) return Result::WriteError;
      left -= static_cast<uint64_t>(n);
    }
  } else {
    detail::BitReader in(source_, member.compressedSize);
    Result r = Result::Ok;
    if (const int dicBits = BlockDicBits(member.method); dicBits != 0) {
      // -lh4- and -lh5- share the 14-symbol position tree; the larger
      // windows have one symbol per possible distance bit.
      const int np = dicBits <= 13 ? 14 : dicBits + 1;
      const int pBits = dicBits <= 13 ? 4 : 5;
      detail::Lh5Decoder decoder(dicBits, np, pBits);
      r = decoder.Decode(in, member.originalSize, sink);
    } else if (member.method == "-lh1-") {
      r = detail::DecodeLh1(in, member.originalSize, sink);
    } else if (member.method == "-lzs-") {
      r = detail::DecodeLzs(in, member.originalSize, sink);
    } else {
      r = detail::DecodeLz5(in, member.originalSize, sink);
    }
    if (r != Result::Ok) return r;
  }
  return crc == member.crc16 ? Result::Ok : Result::CrcMismatch;
}

bool LhaReader::FindStart(ByteSource& source, uint64_t limit, uint64_t* start) {
  auto sound = [&](uint64_t at) {
    LhaReader reader(source, at);
    MemberHeader m;
    return reader.Next(&m) == Result::Ok;
  };
  if (sound(0)) {
    *start = 0;
    return true;
  }
  // Inside a program a header must also have its data within the file,
  // so that bytes of the program's code that happen to look like a header
  // are passed over.
  auto soundInside = [&](uint64_t at) {
    LhaReader reader(source, at);
    MemberHeader m;
    uint8_t last = 0;
    return reader.Next(&m) == Result::Ok &&
           (m.compressedSize == 0 || ReadAt(source, m.dataOffset + m.compressedSize - 1, &last, 1) == Result::Ok);
  };
  // Only a program is searched: in anything else a damaged first header
  // must not let a later member pass for the archive's start.
  uint8_t magic[4] = {};
  if (ReadAt(source, 0, magic, 4) != Result::Ok) return false;
  if (!(magic[0] == 'M' && magic[1] == 'Z') && std::memcmp(magic, "\x7F" "ELF", 4) != 0) return false;
  std::vector<uint8_t> window(kChunk + 8);
  uint64_t base = 0;  // offset of window[0]
  size_t have = 0;
  while (base < limit) {
    if (!source.Seek(base + have)) return false;
    const std::ptrdiff_t n = source.Read(window.data() + have, window.size() - have);
    if (n < 0) return false;
    have += static_cast<size_t>(n);
    if (have < 7) return false;
    const size_t last = have - 7;
    // A header's method field, "-l??-" or "-pm?-", stands at offset 2.
    for (size_t i = 0; i <= last && base + i < limit; ++i) {
      const uint8_t* p = &window[i + 2];
      if (p[0] == '-' && p[4] == '-' && ((p[1] == 'l' && (p[2] == 'h' || p[2] == 'z')) || (p[1] == 'p' && p[2] == 'm')) &&
          window[i] != 0 && soundInside(base + i)) {
        *start = base + i;
        return true;
      }
    }
    if (n == 0) return false;
    // Keep the last bytes: a method field may straddle the windows.
    std::copy(window.begin() + static_cast<std::ptrdiff_t>(last + 1), window.begin() + static_cast<std::ptrdiff_t>(have), window.begin());
    base += last + 1;
    have -= last + 1;
  }
  return false;
}

Result LhaReader::Extract(const MemberHeader& member, std::vector<uint8_t>* data) {
  data->clear();
  return Extract(member, [data](const uint8_t* p, size_t n) {
    data->insert(data->end(), p, p + n);
    return true;
  });
}

Result LhaReader::ReadRaw(const MemberHeader& member, const DataFn& out) {
  if (!source_.Seek(member.headerOffset)) return Result::Corrupt;
  std::vector<uint8_t> chunk(kChunk);
  uint64_t left = member.totalSize;
  while (left > 0) {
    const size_t want = left < chunk.size() ? static_cast<size_t>(left) : chunk.size();
    const std::ptrdiff_t n = source_.Read(chunk.data(), want);
    if (n < 0) return Result::ReadError;
    if (n == 0) return Result::Corrupt;
    if (!out(chunk.data(), static_cast<size_t>(n))) return Result::WriteError;
    left -= static_cast<uint64_t>(n);
  }
  return Result::Ok;
}

}  // namespace lha
