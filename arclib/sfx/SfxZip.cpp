// ZIP: the central directory is read from the end; its offsets may count
// from the archive's start or, after the library's offset repair, from the
// program's start, so every offset is moved by the difference between
// where the directory is and where the archive says it is.
#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "sfx/SfxFormats.h"

namespace sfx {

namespace {

constexpr size_t kChunk = 1 << 16;

struct ZipMember {
  std::string name;
  uint16_t flags = 0, method = 0, madeBy = 0;
  uint32_t crc = 0, external = 0;
  uint64_t packed = 0, size = 0, local = 0;
  std::time_t mtime = 0;
};

bool FindDirectory(const Payload& a, uint64_t& dirAt, uint64_t& dirSize, uint64_t& count, int64_t& shift) {
  const uint64_t tail = std::min<uint64_t>(a.size, 65557);
  std::vector<uint8_t> end(tail);
  if (tail < 22 || !a.ReadAt(a.size - tail, end.data(), tail)) return false;
  for (size_t i = tail - 22 + 1; i-- > 0;) {
    const uint8_t* e = end.data() + i;
    if (Le32(e) != 0x06054b50) continue;
    const uint64_t eocd = a.size - tail + i;
    uint64_t recordAt = eocd;
    count = Le16(e + 10);
    dirSize = Le32(e + 12);
    uint64_t recorded = Le32(e + 16);
    if ((count == 0xFFFF || dirSize == 0xFFFFFFFF || recorded == 0xFFFFFFFF) && eocd >= 20 + 56) {
      uint8_t z[56];
      if (!a.ReadAt(eocd - 20 - 56, z, sizeof z) || Le32(z) != 0x06064b50) return false;
      recordAt = eocd - 20 - 56;
      count = Le64(z + 32);
      dirSize = Le64(z + 40);
      recorded = Le64(z + 48);
    }
    if (dirSize > recordAt) return false;
    dirAt = recordAt - dirSize;
    shift = static_cast<int64_t>(dirAt) - static_cast<int64_t>(recorded);
    return true;
  }
  return false;
}

void ReadExtra(const uint8_t* p, size_t n, ZipMember& m) {
  while (n >= 4) {
    const uint16_t id = Le16(p), len = Le16(p + 2);
    if (len > n - 4) return;
    const uint8_t* d = p + 4;
    if (id == 0x0001) {  // Zip64: the fields that did not fit, in this order
      size_t at = 0;
      auto take = [&](uint64_t& field) {
        if (field == 0xFFFFFFFF && at + 8 <= len) {
          field = Le64(d + at);
          at += 8;
        }
      };
      take(m.size);
      take(m.packed);
      take(m.local);
    } else if (id == 0x5455 && len >= 5 && (d[0] & 1)) {  // extended time stamp
      m.mtime = static_cast<std::time_t>(static_cast<int32_t>(Le32(d + 1)));
    } else if (id == 0x7075 && len >= 5 && d[0] == 1) {  // Unicode path
      m.name.assign(reinterpret_cast<const char*>(d + 5), len - 5);
      m.flags |= 0x800;
    }
    p += 4 + len;
    n -= 4 + len;
  }
}

// Copies or inflates the member's data, checking its size and CRC-32.
bool CopyData(const Payload& a, uint64_t at, const ZipMember& m, Unpacker& out, std::string& reason) {
  std::vector<uint8_t> in(kChunk), buffer(kChunk);
  uint32_t crc = static_cast<uint32_t>(crc32(0, nullptr, 0));
  uint64_t produced = 0, left = m.packed;
  z_stream z{};
  if (m.method == 8 && inflateInit2(&z, -MAX_WBITS) != Z_OK) {
    reason = "out of memory";
    return false;
  }
  bool ended = m.method == 0, good = true;
  while (good && left > 0) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(left, kChunk));
    if (!a.ReadAt(at, in.data(), n)) {
      reason = "cut short";
      good = false;
      break;
    }
    at += n;
    left -= n;
    if (m.method == 0) {
      crc = static_cast<uint32_t>(crc32(crc, in.data(), static_cast<uInt>(n)));
      produced += n;
      good = out.Write(in.data(), n);
      continue;
    }
    z.next_in = in.data();
    z.avail_in = static_cast<uInt>(n);
    while (good && z.avail_in > 0 && !ended) {
      z.next_out = buffer.data();
      z.avail_out = static_cast<uInt>(buffer.size());
      const int r = inflate(&z, Z_NO_FLUSH);
      if (r != Z_OK && r != Z_STREAM_END) {
        reason = "damaged";
        good = false;
        break;
      }
      const size_t got = buffer.size() - z.avail_out;
      crc = static_cast<uint32_t>(crc32(crc, buffer.data(), static_cast<uInt>(got)));
      produced += got;
      good = out.Write(buffer.data(), got);
      ended = r == Z_STREAM_END;
    }
  }
  if (m.method == 8) inflateEnd(&z);
  if (!good) return false;
  if (!ended) reason = "cut short";
  else if (produced != m.size) reason = "damaged (size differs)";
  else if (crc != m.crc) reason = "damaged (CRC mismatch)";
  else return true;
  return false;
}

}  // namespace

void UnpackZip(const Payload& a, Unpacker& out) {
  uint64_t dirAt = 0, dirSize = 0, count = 0;
  int64_t shift = 0;
  std::vector<uint8_t> dir;
  if (!FindDirectory(a, dirAt, dirSize, count, shift) || dirSize > (1ull << 31)) {
    out.Fail("the archive", "no ZIP central directory");
    return;
  }
  dir.resize(static_cast<size_t>(dirSize));
  if (!a.ReadAt(dirAt, dir.data(), dir.size())) {
    out.Fail("the archive", "central directory cut short");
    return;
  }
  size_t p = 0;
  for (uint64_t i = 0; i < count; ++i) {
    if (p + 46 > dir.size() || Le32(&dir[p]) != 0x02014b50) {
      out.Fail("the archive", "central directory damaged");
      return;
    }
    const uint8_t* h = &dir[p];
    ZipMember m;
    m.madeBy = Le16(h + 4);
    m.flags = Le16(h + 8);
    m.method = Le16(h + 10);
    m.mtime = DosTime(Le16(h + 14), Le16(h + 12));
    m.crc = Le32(h + 16);
    m.packed = Le32(h + 20);
    m.size = Le32(h + 24);
    const size_t nameLen = Le16(h + 28), extraLen = Le16(h + 30), commentLen = Le16(h + 32);
    m.external = Le32(h + 38);
    m.local = Le32(h + 42);
    if (p + 46 + nameLen + extraLen + commentLen > dir.size()) {
      out.Fail("the archive", "central directory damaged");
      return;
    }
    m.name.assign(reinterpret_cast<const char*>(h + 46), nameLen);
    ReadExtra(h + 46 + nameLen, extraLen, m);
    p += 46 + nameLen + extraLen + commentLen;
    if (!(m.flags & 0x800)) m.name = UnmarkedName(m.name);

    const bool directory = !m.name.empty() && (m.name.back() == '/' || m.name.back() == '\\');
    const bool unixMade = (m.madeBy >> 8) == 3;
    const unsigned type = unixMade ? (m.external >> 16) & 0170000 : 0;
    if (type != 0 && type != 0100000 && type != 0040000) {
      out.Skip(m.name, "link or special file");
      continue;
    }
    if (m.flags & 1) {
      out.Fail(m.name, "encrypted");
      continue;
    }
    if (!directory && m.method != 0 && m.method != 8) {
      out.Fail(m.name, "unsupported method " + std::to_string(m.method));
      continue;
    }
    const unsigned mode = unixMade ? (m.external >> 16) & 0777 : 0644;
    if (!out.Begin(m.name, directory, m.mtime, mode)) continue;
    uint8_t local[30];
    const int64_t at = static_cast<int64_t>(m.local) + shift;
    if (at < 0 || !a.ReadAt(static_cast<uint64_t>(at), local, sizeof local) || Le32(local) != 0x04034b50) {
      out.End(false, "local header missing");
      continue;
    }
    std::string reason;
    const bool good = CopyData(a, static_cast<uint64_t>(at) + 30 + Le16(local + 26) + Le16(local + 28), m, out, reason);
    out.End(good, reason);
  }
}

}  // namespace sfx
