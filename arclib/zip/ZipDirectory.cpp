#include "zip/ZipDirectory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "archives/ArchiverDll.h"
#include "common/Failure.h"
#include "common/TempFile.h"
#include "common/WinNames.h"

namespace zip {

namespace {

using arc::Failure;

constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr uint32_t kZip64EndSignature = 0x06064b50;
constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr uint32_t kAll32 = 0xFFFFFFFFu;

uint16_t U16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const unsigned char* p) { return U16(p) | (static_cast<uint32_t>(U16(p + 2)) << 16); }
uint64_t U64(const unsigned char* p) { return U32(p) | (static_cast<uint64_t>(U32(p + 4)) << 32); }
void Put32(unsigned char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) close(fd);
  }
};

bool ReadAt(int fd, uint64_t offset, void* data, size_t size) {
  auto* p = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t n = pread(fd, p, size, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    offset += static_cast<uint64_t>(n);
    size -= static_cast<size_t>(n);
  }
  return true;
}

time_t FromDos(uint16_t date, uint16_t time) {
  struct tm tm {};
  tm.tm_year = ((date >> 9) & 0x7F) + 80;
  tm.tm_mon = ((date >> 5) & 0x0F) - 1;
  tm.tm_mday = date & 0x1F;
  tm.tm_hour = (time >> 11) & 0x1F;
  tm.tm_min = (time >> 5) & 0x3F;
  tm.tm_sec = (time & 0x1F) * 2;
  tm.tm_isdst = -1;
  return mktime(&tm);
}

std::string MethodName(uint16_t method) {
  switch (method) {
    case 0:
      return "Stored";
    case 8:
      return "Deflate";
    case 9:
      return "Defl64";
    case 12:
      return "BZip2";
    case 14:
      return "LZMA";
    default:
      return "M" + std::to_string(method);
  }
}

CentralDirectory ReadFrom(int fd, uint64_t fileSize, std::vector<unsigned char>* raw) {
  const uint64_t tailSize = std::min<uint64_t>(fileSize, 22 + 65535);
  std::vector<unsigned char> tail(tailSize);
  if (tailSize < 22 || !ReadAt(fd, fileSize - tailSize, tail.data(), tail.size()))
    throw Failure(ARCERR_NOT_ARC_FILE, "not a ZIP archive");
  size_t at = std::string::npos;
  for (size_t i = tail.size() - 22 + 1; i-- > 0;) {
    if (U32(&tail[i]) == kEndSignature && i + 22 + U16(&tail[i + 20]) <= tail.size()) {
      at = i;
      break;
    }
  }
  if (at == std::string::npos) throw Failure(ARCERR_NOT_ARC_FILE, "not a ZIP archive");
  CentralDirectory dir;
  dir.endRecord = fileSize - tailSize + at;
  const unsigned char* end = &tail[at];
  dir.size = U32(end + 12);
  dir.statedOffset = U32(end + 16);
  uint64_t count = U16(end + 10);
  uint64_t directoryEnd = dir.endRecord;  // the central directory ends where the end records begin
  if (at >= 20 && U32(&tail[at - 20]) == kZip64LocatorSignature) {
    // ZIP64: the true count, size and offset are in the ZIP64 end record,
    // found where the locator says or (behind a stub) just before it.
    const uint64_t locator = dir.endRecord - 20;
    unsigned char z[56];
    uint64_t record = U64(&tail[at - 20 + 8]);
    if (record + 56 > locator || !ReadAt(fd, record, z, sizeof z) || U32(z) != kZip64EndSignature) {
      record = locator >= 56 ? locator - 56 : 0;
      if (locator < 56 || !ReadAt(fd, record, z, sizeof z) || U32(z) != kZip64EndSignature)
        throw Failure(ARCERR_HEADER_BROKEN, "the ZIP64 end record is damaged");
    }
    dir.zip64 = true;
    count = U64(z + 32);
    dir.size = U64(z + 40);
    dir.statedOffset = U64(z + 48);
    directoryEnd = record;
  }
  if (dir.size > directoryEnd) throw Failure(ARCERR_HEADER_BROKEN, "the central directory is damaged");
  dir.start = directoryEnd - dir.size;
  std::vector<unsigned char> cd(dir.size);
  if (!cd.empty() && !ReadAt(fd, dir.start, cd.data(), cd.size()))
    throw Failure(ARCERR_HEADER_BROKEN, "the central directory is damaged");
  if (count > 0 && (cd.size() < 4 || U32(cd.data()) != kCentralSignature)) {
    // Strong encryption can hide the central directory; the local headers
    // then say so (flag bit 13, their values masked).
    unsigned char local[8];
    if (ReadAt(fd, 0, local, sizeof local) && U32(local) == kLocalSignature && (U16(local + 6) & 0x2000) != 0)
      throw Failure(ARCERR_PASSWORD, "the archive's central directory is encrypted (no passphrase is taken)");
  }
  size_t p = 0;
  for (uint64_t i = 0; i < count; ++i) {
    if (p + 46 > cd.size() || U32(&cd[p]) != kCentralSignature)
      throw Failure(ARCERR_HEADER_BROKEN, "the central directory is damaged");
    const unsigned char* h = &cd[p];
    CentralEntry e;
    e.madeBy = U16(h + 4);
    e.flags = U16(h + 8);
    e.method = U16(h + 10);
    e.dosTime = U16(h + 12);
    e.dosDate = U16(h + 14);
    e.crc = U32(h + 16);
    e.packed = U32(h + 20);
    e.original = U32(h + 24);
    const size_t n = U16(h + 28), m = U16(h + 30), k = U16(h + 32);
    e.externalAttributes = U32(h + 38);
    e.localOffset = U32(h + 42);
    if (p + 46 + n + m + k > cd.size()) throw Failure(ARCERR_HEADER_BROKEN, "the central directory is damaged");
    e.name.assign(reinterpret_cast<const char*>(h + 46), n);
    e.utf8 = (e.flags & 0x0800) != 0;
    // The ZIP64 extra field holds, in this order, each value whose 32-bit
    // field is all ones.
    for (size_t x = 0; x + 4 <= m;) {
      const unsigned char* f = h + 46 + n + x;
      const size_t len = U16(f + 2);
      if (x + 4 + len > m) break;
      if (U16(f) == 0x0001) {
        size_t q = 4;
        for (uint64_t* v : {&e.original, &e.packed, &e.localOffset}) {
          if (*v != kAll32) continue;
          if (q + 8 > 4 + len) throw Failure(ARCERR_HEADER_BROKEN, "the central directory is damaged");
          *v = U64(f + q);
          q += 8;
        }
      }
      x += 4 + len;
    }
    dir.entries.push_back(e);
    p += 46 + n + m + k;
  }
  if (raw != nullptr) {
    raw->assign(cd.begin(), cd.end());
    raw->insert(raw->end(), tail.begin() + static_cast<long>(at), tail.end());
  }
  return dir;
}

CentralDirectory ReadPath(const std::string& posixPath, std::vector<unsigned char>* raw) {
  Fd f;
  f.fd = open(posixPath.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st;
  if (f.fd < 0 || fstat(f.fd, &st) != 0)
    throw Failure(ARCERR_ARC_FILE_OPEN, "cannot open the archive " + arc::Cp932ForReport(posixPath));
  return ReadFrom(f.fd, static_cast<uint64_t>(st.st_size), raw);
}

}  // namespace

std::string UnreadableMethod(uint16_t method) {
  switch (method) {
    case 1: return "Shrink";
    case 2: case 3: case 4: case 5: return "Reduce";
    case 6: return "Implode";
    case 7: return "Tokenize";
    case 9: return "Deflate64";
    case 10: return "PKWARE DCL Implode";
    case 18: return "IBM TERSE";
    case 19: return "IBM LZ77";
    case 96: return "JPEG";
    case 97: return "WavPack";
    default: return {};
  }
}

void RefuseUnreadableMethods(const CentralDirectory& dir, const std::function<bool(const std::string&)>& selected) {
  for (const CentralEntry& c : dir.entries) {
    const std::string method = UnreadableMethod(c.method);
    if (method.empty()) continue;
    const std::string utf8 = c.utf8 ? c.name : arc::GuessNameToUtf8(c.name);
    if (!selected(utf8)) continue;
    throw Failure(ARCERR_METHOD, arc::Cp932ForReport(utf8) + ": unsupported method " + method + " (" +
                                     std::to_string(c.method) + ")");
  }
}

CentralDirectory ReadCentralDirectory(const std::string& posixPath) { return ReadPath(posixPath, nullptr); }

std::vector<arc::EntryInfo> ListZip(const std::string& posixPath) {
  std::vector<arc::EntryInfo> out;
  for (const CentralEntry& c : ReadCentralDirectory(posixPath).entries) {
    arc::EntryInfo e;
    e.name = c.utf8 || arc::IsUtf8(c.name) ? arc::Cp932ForReport(c.name) : c.name;
    e.original = c.original;
    e.packed = c.packed;
    e.crc = c.crc;
    e.mtime = FromDos(c.dosDate, c.dosTime);
    e.method = MethodName(c.method);
    e.osType = c.madeBy >> 8;
    if (e.osType == 3) {
      const uint32_t mode = c.externalAttributes >> 16;
      e.directory = S_ISDIR(mode);
      e.attributes = (mode & 0200) ? 0 : FILE_ATTRIBUTE_READONLY;
    } else {
      e.attributes = c.externalAttributes & 0xFF;
    }
    if (!c.name.empty() && c.name.back() == '/') e.directory = true;
    if (e.directory) e.attributes |= FILE_ATTRIBUTE_DIRECTORY;
    else e.attributes |= FILE_ATTRIBUTE_ARCHIVE;
    out.push_back(e);
  }
  return out;
}

void AdjustOffsets(const std::string& posixPath, const std::string& shownName, arc::Report& report) {
  std::vector<unsigned char> tail;  // central directory followed by the end record
  const CentralDirectory dir = ReadPath(posixPath, &tail);
  if (dir.zip64) throw Failure(ARCERR_NOT_SUPPORT, "the offsets of a ZIP64 archive are not adjusted");
  if (dir.start < dir.statedOffset) throw Failure(ARCERR_HEADER_BROKEN, "the archive's offsets are damaged");
  const uint64_t shift = dir.start - dir.statedOffset;
  if (shift == 0) {
    report.Line("Offsets of " + shownName + " need no adjustment");
    return;
  }
  size_t p = 0;
  for (size_t i = 0; i < dir.entries.size(); ++i) {
    const uint64_t moved = uint64_t{dir.entries[i].localOffset} + shift;
    if (moved >= 0xFFFFFFFFu) throw Failure(ARCERR_NOT_SUPPORT, "the program is too large for ZIP offsets");
    Put32(&tail[p + 42], static_cast<uint32_t>(moved));
    p += 46 + U16(&tail[p + 28]) + U16(&tail[p + 30]) + U16(&tail[p + 32]);
  }
  Put32(&tail[dir.size + 16], static_cast<uint32_t>(dir.start));
  // The program up to the central directory, then the repaired tail.
  Fd in;
  in.fd = open(posixPath.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st;
  arc::TempFile out;
  if (in.fd < 0 || fstat(in.fd, &st) != 0 || !out.Open(posixPath, (st.st_mode & 0777) | 0111))
    throw Failure(ARCERR_CANNOT_WRITE, "cannot rewrite " + shownName);
  std::vector<char> buffer(1 << 16);
  for (uint64_t done = 0; done < dir.start;) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(buffer.size(), dir.start - done));
    if (!ReadAt(in.fd, done, buffer.data(), n)) throw Failure(ARCERR_CANNOT_READ, "cannot read " + shownName);
    if (!arc::WriteAll(out.Fd(), buffer.data(), n)) throw Failure(arc::WriteErrorCode(errno), "cannot write " + shownName);
    done += n;
  }
  if (!arc::WriteAll(out.Fd(), tail.data(), tail.size()) || !out.Commit())
    throw Failure(arc::WriteErrorCode(errno), "cannot write " + shownName);
  report.Line("Adjusted the offsets of " + shownName + " by " + std::to_string(shift) + " bytes");
}

}  // namespace zip
