#include "unrar32/RarHeaders.h"

#include <sys/stat.h>

#include <cctype>
#include <cstring>
#include <fstream>

namespace unrar32 {

namespace {

// Appends the members of one RAR 4 volume; false when it is none.
bool AddVolumeCrcs(const std::string& posixPath, std::vector<std::optional<uint32_t>>& crcs) {
  std::ifstream in(posixPath, std::ios::binary);
  char marker[7];
  if (!in.read(marker, 7) || std::memcmp(marker, "Rar!\x1a\x07\x00", 7) != 0) return false;
  uint64_t at = 7;
  for (;;) {
    unsigned char h[20] = {};
    in.seekg(static_cast<std::streamoff>(at));
    if (!in.read(reinterpret_cast<char*>(h), 7)) break;
    const unsigned type = h[2], flags = h[3] | (h[4] << 8), size = h[5] | (h[6] << 8);
    if (size < 7) break;
    uint64_t add = 0;
    if (flags & 0x8000) {
      if (!in.read(reinterpret_cast<char*>(h + 7), 13)) break;
      add = h[7] | (h[8] << 8) | (h[9] << 16) | (uint64_t{h[10]} << 24);
      // A part continued from the volume before belongs to the member
      // already counted; one split into the next has no whole-file CRC here.
      if (type == 0x74 && (flags & 0x01) == 0)
        crcs.push_back((flags & 0x02) != 0 ? std::nullopt
                                           : std::optional<uint32_t>(h[16] | (h[17] << 8) | (h[18] << 16) |
                                                                     (uint32_t{h[19]} << 24)));
    }
    if (type == 0x7B) break;
    at += size + add;
  }
  return true;
}

}  // namespace

std::vector<std::optional<uint32_t>> Rar4FileCrcs(const std::vector<std::string>& volumes) {
  std::vector<std::optional<uint32_t>> crcs;
  for (const std::string& v : volumes)
    if (!AddVolumeCrcs(v, crcs)) return {};
  return crcs;
}

namespace {

bool IsFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool EndsWithNoCase(const std::string& text, const std::string& tail) {
  if (text.size() < tail.size()) return false;
  for (size_t i = 0; i < tail.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[text.size() - tail.size() + i])) != tail[i]) return false;
  return true;
}

// "x.part07.rar": where the digits of the volume number begin and end.
bool PartNumber(const std::string& path, size_t& begin, size_t& end) {
  if (!EndsWithNoCase(path, ".rar")) return false;
  end = path.size() - 4;
  begin = end;
  while (begin > 0 && std::isdigit(static_cast<unsigned char>(path[begin - 1]))) --begin;
  return begin < end && begin >= 5 && EndsWithNoCase(path.substr(0, begin), ".part");
}

}  // namespace

std::string NextVolumeName(const std::string& posixPath, size_t index) {
  size_t begin = 0, end = 0;
  if (PartNumber(posixPath, begin, end)) {
    std::string number = std::to_string(std::stoul(posixPath.substr(begin, end - begin)) + index);
    if (number.size() < end - begin) number.insert(0, end - begin - number.size(), '0');
    return posixPath.substr(0, begin) + number + posixPath.substr(end);
  }
  if (!EndsWithNoCase(posixPath, ".rar") || index == 0) return posixPath;
  // Old style: x.rar, x.r00, x.r01 ... (three places from x.r100 on).
  std::string number = std::to_string(index - 1);
  if (number.size() < 2) number.insert(0, 2 - number.size(), '0');
  return posixPath.substr(0, posixPath.size() - 3) + posixPath[posixPath.size() - 3] + number;
}

namespace {

// A RAR 5 variable-length number; false when it runs past the bytes.
bool ReadVint(const unsigned char* data, size_t size, size_t& at, uint64_t& value) {
  value = 0;
  for (int shift = 0; at < size && shift < 64; shift += 7) {
    const unsigned char b = data[at++];
    value |= static_cast<uint64_t>(b & 0x7F) << shift;
    if ((b & 0x80) == 0) return true;
  }
  return false;
}

// 4 or 5 when the file is a RAR archive of that version whose main header
// marks it as one volume of a set; 0 otherwise.
int VolumeVersion(const std::string& posixPath) {
  std::ifstream in(posixPath, std::ios::binary);
  unsigned char h[64] = {};
  in.read(reinterpret_cast<char*>(h), sizeof h);
  const size_t got = static_cast<size_t>(in.gcount());
  if (got >= 7 + 7 && std::memcmp(h, "Rar!\x1a\x07\x00", 7) == 0) {
    // RAR 4: the main header (type 0x73) with its volume flag.
    return h[7 + 2] == 0x73 && (h[7 + 3] & 0x01) != 0 ? 4 : 0;
  }
  if (got < 8 || std::memcmp(h, "Rar!\x1a\x07\x01\x00", 8) != 0) return 0;
  // RAR 5: CRC, size, type 1, header flags, the optional extra area size,
  // then the archive flags with bit 0 for a volume.
  size_t at = 8 + 4;
  uint64_t size = 0, type = 0, flags = 0, extra = 0, archiveFlags = 0;
  if (!ReadVint(h, got, at, size) || !ReadVint(h, got, at, type) || type != 1 || !ReadVint(h, got, at, flags))
    return 0;
  if ((flags & 0x01) != 0 && !ReadVint(h, got, at, extra)) return 0;
  if ((flags & 0x02) != 0 && !ReadVint(h, got, at, extra)) return 0;
  return ReadVint(h, got, at, archiveFlags) && (archiveFlags & 0x01) != 0 ? 5 : 0;
}

}  // namespace

std::vector<std::string> RarVolumes(const std::string& posixPath) {
  std::vector<std::string> volumes{posixPath};
  // Only a volume of a set has others beside it, and only volumes of the
  // same kind join it: libarchive's reader of a set is not safe against
  // files that are no volumes, an empty one among them.
  const int version = VolumeVersion(posixPath);
  if (version == 0) return volumes;
  for (size_t i = 1; i < 10000; ++i) {
    const std::string next = NextVolumeName(posixPath, i);
    if (next == posixPath || !IsFile(next) || VolumeVersion(next) != version) break;
    volumes.push_back(next);
  }
  return volumes;
}

}  // namespace unrar32
