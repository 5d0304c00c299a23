// CAB: one cabinet (no sets), folders stored or MSZIP-compressed. MSZIP
// blocks are deflate streams of up to 32 KiB each that may refer back into
// the 32 KiB before them; a block's checksum, when the cabinet has one, is
// checked before its data is used.
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "sfx/SfxFormats.h"

namespace sfx {

namespace {

constexpr size_t kBlock = 32768;

struct CabFile {
  std::string name;
  uint32_t size = 0, offset = 0;
  uint16_t folder = 0;
  std::time_t mtime = 0;
};

uint32_t Checksum(const uint8_t* p, size_t n, uint32_t seed) {
  uint32_t sum = seed;
  for (; n >= 4; p += 4, n -= 4) sum ^= Le32(p);
  uint32_t rest = 0;
  switch (n) {
    case 3: rest |= static_cast<uint32_t>(*p++) << 16; [[fallthrough]];
    case 2: rest |= static_cast<uint32_t>(*p++) << 8; [[fallthrough]];
    case 1: rest |= *p; break;
    default: break;
  }
  return sum ^ rest;
}

// The uncompressed bytes of one folder, in order.
class FolderStream {
 public:
  FolderStream(const Payload& a, uint64_t at, unsigned blocks, unsigned method, size_t dataReserve)
      : a_(a), at_(at), blocks_(blocks), method_(method), reserve_(dataReserve) {
    inflateInit2(&z_, -MAX_WBITS);
  }
  ~FolderStream() { inflateEnd(&z_); }
  FolderStream(const FolderStream&) = delete;
  FolderStream& operator=(const FolderStream&) = delete;

  uint64_t Position() const { return position_; }
  // Delivers the next n bytes to sink (or drops them when sink is null).
  template <typename Sink>
  bool Read(uint64_t n, Sink&& sink, std::string& reason) {
    while (n > 0) {
      if (used_ == out_.size() && !NextBlock(reason)) return false;
      const size_t take = static_cast<size_t>(std::min<uint64_t>(n, out_.size() - used_));
      if (!sink(out_.data() + used_, take)) return false;
      used_ += take;
      position_ += take;
      n -= take;
    }
    return true;
  }

 private:
  bool NextBlock(std::string& reason) {
    if (done_ == blocks_) {
      reason = "cut short";
      return false;
    }
    std::vector<uint8_t> head(8 + reserve_);
    if (!a_.ReadAt(at_, head.data(), head.size())) {
      reason = "cut short";
      return false;
    }
    const uint32_t sum = Le32(head.data());
    const size_t packed = Le16(&head[4]), size = Le16(&head[6]);
    std::vector<uint8_t> data(packed);
    if (!a_.ReadAt(at_ + head.size(), data.data(), packed)) {
      reason = "cut short";
      return false;
    }
    at_ += head.size() + packed;
    ++done_;
    // The sum covers the data, then the block's sizes (and, as some writers
    // count it, its reserved bytes).
    const uint32_t dataSum = Checksum(data.data(), packed, 0);
    if (sum != 0 && Checksum(&head[4], 4, dataSum) != sum &&
        (reserve_ == 0 || Checksum(&head[4], 4 + reserve_, dataSum) != sum)) {
      reason = "damaged (block checksum)";
      return false;
    }
    if (size > kBlock || size == 0) {
      reason = "damaged";
      return false;
    }
    out_.assign(size, 0);
    used_ = 0;
    if (method_ == 0) {
      if (packed != size) {
        reason = "damaged";
        return false;
      }
      out_.assign(data.begin(), data.end());
    } else {
      if (packed < 2 || data[0] != 'C' || data[1] != 'K' || inflateReset(&z_) != Z_OK ||
          (!window_.empty() && inflateSetDictionary(&z_, window_.data(), static_cast<uInt>(window_.size())) != Z_OK)) {
        reason = "damaged";
        return false;
      }
      z_.next_in = data.data() + 2;
      z_.avail_in = static_cast<uInt>(packed - 2);
      z_.next_out = out_.data();
      z_.avail_out = static_cast<uInt>(size);
      const int r = inflate(&z_, Z_FINISH);
      if (r != Z_STREAM_END || z_.avail_out != 0) {
        reason = "damaged";
        return false;
      }
    }
    window_.insert(window_.end(), out_.begin(), out_.end());
    if (window_.size() > kBlock) window_.erase(window_.begin(), window_.end() - kBlock);
    return true;
  }

  const Payload& a_;
  uint64_t at_;
  unsigned blocks_, done_ = 0, method_;
  size_t reserve_;
  z_stream z_{};
  std::vector<uint8_t> out_, window_;
  size_t used_ = 0;
  uint64_t position_ = 0;
};

struct Folder {
  uint64_t at = 0;
  unsigned blocks = 0, method = 0;
};

}  // namespace

void UnpackCab(const Payload& a, Unpacker& out) {
  uint8_t h[36];
  if (!a.ReadAt(0, h, sizeof h) || std::memcmp(h, "MSCF", 4) != 0) {
    out.Fail("the archive", "no cabinet header");
    return;
  }
  const uint32_t filesAt = Le32(h + 16);
  const unsigned folderCount = Le16(h + 26), fileCount = Le16(h + 28), flags = Le16(h + 30);
  if (flags & 3) {
    out.Fail("the archive", "part of a cabinet set, which this program does not join");
    return;
  }
  uint64_t at = 36;
  size_t folderReserve = 0, dataReserve = 0;
  if (flags & 4) {
    uint8_t r[4];
    if (!a.ReadAt(at, r, sizeof r)) {
      out.Fail("the archive", "header cut short");
      return;
    }
    folderReserve = r[2];
    dataReserve = r[3];
    at += 4 + Le16(r);
  }
  std::vector<Folder> folders(folderCount);
  for (Folder& f : folders) {
    uint8_t d[8];
    if (!a.ReadAt(at, d, sizeof d)) {
      out.Fail("the archive", "header cut short");
      return;
    }
    f.at = Le32(d);
    f.blocks = Le16(d + 4);
    f.method = Le16(d + 6) & 0x0F;
    at += 8 + folderReserve;
  }
  std::vector<CabFile> files(fileCount);
  at = filesAt;
  for (CabFile& f : files) {
    uint8_t d[16 + 256];
    const std::ptrdiff_t n = a.ReadSome(at, d, sizeof d);
    const void* nul = n > 16 ? std::memchr(d + 16, 0, static_cast<size_t>(n) - 16) : nullptr;
    if (!nul) {
      out.Fail("the archive", "file table damaged");
      return;
    }
    f.size = Le32(d);
    f.offset = Le32(d + 4);
    f.folder = Le16(d + 8);
    f.mtime = DosTime(Le16(d + 10), Le16(d + 12));
    const uint16_t attributes = Le16(d + 14);
    f.name.assign(reinterpret_cast<const char*>(d + 16), static_cast<const uint8_t*>(nul) - (d + 16));
    at += 16 + f.name.size() + 1;
    if (!(attributes & 0x80)) f.name = UnmarkedName(f.name);
  }
  for (unsigned folder = 0; folder < folderCount; ++folder) {
    std::vector<const CabFile*> mine;
    for (const CabFile& f : files)
      if (f.folder == folder) mine.push_back(&f);
    std::stable_sort(mine.begin(), mine.end(), [](const CabFile* x, const CabFile* y) { return x->offset < y->offset; });
    const Folder& fd = folders[folder];
    if (fd.method > 1) {
      for (const CabFile* f : mine)
        out.Fail(f->name, fd.method == 2 ? "unsupported method Quantum" : "unsupported method LZX");
      continue;
    }
    FolderStream stream(a, fd.at, fd.blocks, fd.method, dataReserve);
    bool broken = false;
    std::string brokenWhy;
    for (const CabFile* f : mine) {
      if (broken) {
        out.Fail(f->name, brokenWhy);
        continue;
      }
      std::string reason;
      if (f->offset < stream.Position()) {
        out.Fail(f->name, "damaged (overlaps another file)");
        continue;
      }
      if (!stream.Read(f->offset - stream.Position(), [](const uint8_t*, size_t) { return true; }, reason)) {
        broken = true;
        brokenWhy = reason;
        out.Fail(f->name, reason);
        continue;
      }
      const bool writing = out.Begin(f->name, false, f->mtime, 0644);
      bool writeOk = true;
      const bool good = stream.Read(f->size, [&](const uint8_t* p, size_t n) {
        if (writing && writeOk) writeOk = out.Write(p, n);
        return true;
      }, reason);
      if (!good) {
        broken = true;
        brokenWhy = reason;
      }
      if (writing) out.End(good, reason);
      else if (!good) out.Fail(f->name, reason);
    }
  }
  for (const CabFile& f : files)
    if (f.folder >= folderCount) out.Fail(f.name, "continued from or into another cabinet");
}

}  // namespace sfx
