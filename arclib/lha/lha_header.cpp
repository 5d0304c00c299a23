#include "lha_header.h"

#include "crc16.h"

namespace lha::detail {

namespace {

constexpr uint8_t kExtHeaderCrc = 0x00;
constexpr uint8_t kExtFileName = 0x01;
constexpr uint8_t kExtDirName = 0x02;
constexpr uint8_t kExtDosAttributes = 0x40;
constexpr uint8_t kExtSizes64 = 0x42;
constexpr uint8_t kExtUnixTime = 0x54;

// Appends an extended header; `next` fields are filled in afterwards.
void AddExt(std::vector<uint8_t>& h, uint8_t type, const std::string& data) {
  h.push_back(type);
  h.insert(h.end(), data.begin(), data.end());
  h.push_back(0);
  h.push_back(0);
}

}  // namespace

bool SplitPath(const std::string& name, std::vector<std::string>* parts) {
  parts->clear();
  std::string cur;
  bool pending = false;  // a separator was seen; another component must follow
  for (size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<uint8_t>(name[i]);
    if (IsLeadByte(c) && i + 1 < name.size() && IsTrailByte(static_cast<uint8_t>(name[i + 1]))) {
      cur += name[i];
      cur += name[++i];
    } else if (c == '\\' || c == '/') {
      if (cur.empty() || cur == "." || cur == "..") return false;
      parts->push_back(cur);
      cur.clear();
      pending = true;
    } else {
      cur += name[i];
    }
  }
  if (!cur.empty()) {
    if (cur == "." || cur == "..") return false;
    parts->push_back(cur);
  } else if (!pending) {
    return false;  // empty name
  }
  return true;
}

std::vector<uint8_t> BuildLevel2Header(const Level2Fields& f) {
  if (!f.sizes64 && (f.compressedSize > UINT32_MAX || f.originalSize > UINT32_MAX)) return {};
  std::vector<uint8_t> h(26, 0);
  Put16(&h[0], 0);
  std::copy(f.method, f.method + 5, h.begin() + 2);
  Put32(&h[7], static_cast<uint32_t>(f.compressedSize));
  Put32(&h[11], static_cast<uint32_t>(f.originalSize));
  Put32(&h[15], f.unixTime);
  h[19] = 0x20;  // reserved in level 2
  h[20] = 2;     // header level
  Put16(&h[21], f.crc16);
  h[23] = static_cast<uint8_t>(f.osId);
  // h[24..25]: size of the first extended header

  std::vector<size_t> exts;  // offsets of the extended headers
  exts.push_back(h.size());
  AddExt(h, kExtHeaderCrc, std::string(2, '\0'));
  const size_t fileParts = f.directory ? f.parts.size() : f.parts.size() - 1;
  if (!f.directory) {
    exts.push_back(h.size());
    AddExt(h, kExtFileName, f.parts.back());
  }
  if (fileParts > 0) {
    // Directory names end in 0xFF each, the format's path separator.
    std::string dir;
    for (size_t i = 0; i < fileParts; ++i) dir += f.parts[i] + '\xFF';
    exts.push_back(h.size());
    AddExt(h, kExtDirName, dir);
  }
  exts.push_back(h.size());
  AddExt(h, kExtDosAttributes, std::string{static_cast<char>(f.dosAttributes), '\0'});
  if (f.sizes64) {
    std::string sizes(16, '\0');
    auto* p = reinterpret_cast<uint8_t*>(sizes.data());
    Put32(p, static_cast<uint32_t>(f.compressedSize));
    Put32(p + 4, static_cast<uint32_t>(f.compressedSize >> 32));
    Put32(p + 8, static_cast<uint32_t>(f.originalSize));
    Put32(p + 12, static_cast<uint32_t>(f.originalSize >> 32));
    exts.push_back(h.size());
    AddExt(h, kExtSizes64, sizes);
  }
  // A header size with a zero low byte would read as the end mark; a
  // redundant time stamp makes the header longer instead.
  if ((h.size() & 0xFF) == 0) {
    exts.push_back(h.size());
    std::string t(4, '\0');
    Put32(reinterpret_cast<uint8_t*>(t.data()), f.unixTime);
    AddExt(h, kExtUnixTime, t);
  }
  if (h.size() > 0xFFFF) return {};
  exts.push_back(h.size());
  // Each "next size" field, the last two bytes before an extended header,
  // holds that header's size; the last one stays 0.
  for (size_t i = 0; i + 1 < exts.size(); ++i) {
    Put16(&h[exts[i] - 2], static_cast<uint32_t>(exts[i + 1] - exts[i]));
  }
  Put16(&h[0], static_cast<uint32_t>(h.size()));
  const uint16_t crc = Crc16(h.data(), h.size());
  Put16(&h[exts[0] + 1], crc);
  return h;
}

}  // namespace lha::detail
