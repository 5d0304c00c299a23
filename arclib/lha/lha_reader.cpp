#include "lha_reader.h"

#include <cstring>
#include <ctime>
#include <string>

#include "bit_reader.h"
#include "crc16.h"
#include "lh5_decoder.h"
#include "lha_header.h"

namespace lha {

namespace {

using detail::Get16;
using detail::Get32;

constexpr size_t kChunk = 1 << 16;

// MS-DOS date and time (date in the high word) as local time.
uint32_t DosToUnix(uint32_t t) {
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
    case 0x54:
      if (size >= 4) m->unixTime = Get32(data);
      break;
    default:
      break;
  }
}

void ApplyNames(const std::string& baseName, const ExtNames& names, MemberHeader* m) {
  std::string path = names.hasFile ? names.file : baseName;
  if (names.hasDir && !names.dir.empty()) path = names.dir + '\xFF' + path;
  m->name = NormalizeName(path);
}

bool IsStored(const std::string& method) { return method == "-lh0-" || method == "-lz4-"; }

}  // namespace

bool LhaReader::CanDecode(const std::string& method) {
  return IsStored(method) || method == "-lhd-" || method == "-lh4-" || method == "-lh5-" ||
         method == "-lh6-" || method == "-lh7-";
}

Result LhaReader::ReadExact(uint64_t offset, uint8_t* data, size_t size) {
  if (!source_.Seek(offset)) return Result::Corrupt;
  size_t got = 0;
  while (got < size) {
    const std::ptrdiff_t n = source_.Read(data + got, size - got);
    if (n < 0) return Result::ReadError;
    if (n == 0) return Result::Corrupt;  // archive cut short
    got += static_cast<size_t>(n);
  }
  return Result::Ok;
}

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
  if (m.method.size() != 5 || m.method[0] != '-' || m.method[4] != '-') return Result::Corrupt;
  m.compressedSize = Get32(base + 7);
  m.originalSize = Get32(base + 11);
  ExtNames names;
  std::string baseName;

  if (m.level == 0 || m.level == 1) {
    // Byte 0: header size after the first two bytes; byte 1: their sum.
    const size_t size = static_cast<size_t>(base[0]) + 2;
    if (size < 24) return Result::Corrupt;
    std::vector<uint8_t> h(size);
    r = ReadExact(next_, h.data(), size);
    if (r != Result::Ok) return r;
    uint8_t sum = 0;
    for (size_t i = 2; i < size; ++i) sum = static_cast<uint8_t>(sum + h[i]);
    if (sum != h[1]) return Result::Corrupt;
    const size_t nameLen = h[21];
    const size_t afterCrc = 22 + nameLen + 2;
    if (afterCrc > size) return Result::Corrupt;
    baseName.assign(reinterpret_cast<const char*>(&h[22]), nameLen);
    m.crc16 = Get16(&h[22 + nameLen]);
    m.unixTime = DosToUnix(Get32(&h[15]));
    m.dosAttributes = h[19];
    uint64_t offset = next_ + size;
    if (m.level == 0) {
      if (size > afterCrc) m.osId = static_cast<char>(h[afterCrc]);
    } else {
      if (size < afterCrc + 3) return Result::Corrupt;
      m.osId = static_cast<char>(h[size - 3]);
      // Extended headers follow the base header; the packed size counts them.
      uint32_t next = Get16(&h[size - 2]);
      uint64_t extTotal = 0;
      std::vector<uint8_t> e;
      while (next != 0) {
        if (next < 3 || extTotal + next > m.compressedSize) return Result::Corrupt;
        e.resize(next);
        r = ReadExact(offset, e.data(), next);
        if (r != Result::Ok) return r;
        TakeExt(e[0], &e[1], next - 3, &m, &names);
        offset += next;
        extTotal += next;
        next = Get16(&e[next - 2]);
      }
      m.compressedSize -= static_cast<uint32_t>(extTotal);
    }
    m.dataOffset = offset;
  } else if (m.level == 2) {
    const size_t size = Get16(base);
    if (size < 26) return Result::Corrupt;
    std::vector<uint8_t> h(size);
    r = ReadExact(next_, h.data(), size);
    if (r != Result::Ok) return r;
    m.unixTime = Get32(&h[15]);
    m.crc16 = Get16(&h[21]);
    m.osId = static_cast<char>(h[23]);
    size_t pos = 26;
    uint32_t next = Get16(&h[24]);
    size_t crcPos = 0;
    while (next != 0) {
      if (next < 3 || pos + next > size) return Result::Corrupt;
      if (h[pos] == 0x00 && next >= 5) crcPos = pos + 1;
      TakeExt(h[pos], &h[pos + 1], next - 3, &m, &names);
      const size_t here = pos;
      pos += next;
      next = Get16(&h[here + next - 2]);
    }
    if (crcPos != 0) {
      const uint16_t stored = Get16(&h[crcPos]);
      h[crcPos] = h[crcPos + 1] = 0;
      if (Crc16(h.data(), h.size()) != stored) return Result::Corrupt;
    }
    m.dataOffset = next_ + size;
  } else if (m.level == 3) {
    return Result::Unsupported;
  } else {
    return Result::Corrupt;
  }

  ApplyNames(baseName, names, &m);
  m.directory = m.method == "-lhd-";
  m.totalSize = m.dataOffset - m.headerOffset + m.compressedSize;
  next_ = m.dataOffset + m.compressedSize;
  done_ = false;
  *member = std::move(m);
  return Result::Ok;
}

Result LhaReader::Extract(const MemberHeader& member, const DataFn& out) {
  if (member.directory) return Result::Ok;
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
    uint32_t left = member.originalSize;
    while (left > 0) {
      const size_t want = left < chunk.size() ? left : chunk.size();
      const std::ptrdiff_t n = source_.Read(chunk.data(), want);
      if (n < 0) return Result::ReadError;
      if (n == 0) return Result::Corrupt;
      if (!sink(chunk.data(), static_cast<size_t>(n))) return Result::WriteError;
      left -= static_cast<uint32_t>(n);
    }
  } else {
    // -lh4- and -lh5- share the 14-symbol position tree; -lh6- and -lh7-
    // have one symbol per possible distance bit.
    const int dicBits = member.method[3] == '4' ? 12
                        : member.method[3] == '5' ? 13
                        : member.method[3] == '6' ? 15 : 16;
    const int np = dicBits <= 13 ? 14 : dicBits + 1;
    const int pBits = dicBits <= 13 ? 4 : 5;
    detail::BitReader in(source_, member.compressedSize);
    detail::Lh5Decoder decoder(dicBits, np, pBits);
    const Result r = decoder.Decode(in, member.originalSize, sink);
    if (r != Result::Ok) return r;
  }
  return crc == member.crc16 ? Result::Ok : Result::CrcMismatch;
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
