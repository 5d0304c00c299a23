// tar, plain or compressed with gzip or bzip2. A compressed archive is read
// through once before anything is written, so that a damaged or cut stream
// (its CRC is checked only at its end) leaves no file behind.
#include <bzlib.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "sfx/SfxFormats.h"

namespace sfx {

namespace {

constexpr size_t kChunk = 1 << 16;

class Stream {
 public:
  virtual ~Stream() = default;
  // Up to n bytes; 0 at the end, -1 when the data is damaged.
  virtual std::ptrdiff_t Read(uint8_t* data, size_t n) = 0;
  bool ReadExact(uint8_t* data, size_t n) {
    while (n > 0) {
      const std::ptrdiff_t got = Read(data, n);
      if (got <= 0) return false;
      data += got;
      n -= static_cast<size_t>(got);
    }
    return true;
  }
};

class PlainStream : public Stream {
 public:
  explicit PlainStream(const Payload& a) : a_(a) {}
  std::ptrdiff_t Read(uint8_t* data, size_t n) override {
    const std::ptrdiff_t got = a_.ReadSome(at_, data, n);
    if (got > 0) at_ += static_cast<uint64_t>(got);
    return got;
  }

 private:
  const Payload& a_;
  uint64_t at_ = 0;
};

// gzip (members one after another) or bzip2 (streams one after another).
class Decompressor : public Stream {
 public:
  Decompressor(const Payload& a, bool bzip2) : a_(a), bzip2_(bzip2), in_(kChunk) {
    if (bzip2_) BZ2_bzDecompressInit(&bz_, 0, 0);
    else inflateInit2(&z_, MAX_WBITS + 16);
  }
  ~Decompressor() override {
    if (bzip2_) BZ2_bzDecompressEnd(&bz_);
    else inflateEnd(&z_);
  }
  std::ptrdiff_t Read(uint8_t* data, size_t n) override {
    for (;;) {
      if (failed_) return -1;
      if (inLeft_ == 0) {
        if (!Fill()) return Failed();
        if (inLeft_ == 0) return betweenStreams_ ? 0 : Failed();  // cut inside a stream
      }
      size_t produced = 0;
      bool end = false;
      if (bzip2_) {
        bz_.next_in = reinterpret_cast<char*>(inNext_);
        bz_.avail_in = static_cast<unsigned>(inLeft_);
        bz_.next_out = reinterpret_cast<char*>(data);
        bz_.avail_out = static_cast<unsigned>(n);
        const int r = BZ2_bzDecompress(&bz_);
        if (r != BZ_OK && r != BZ_STREAM_END) return Failed();
        inNext_ = reinterpret_cast<uint8_t*>(bz_.next_in);
        inLeft_ = bz_.avail_in;
        produced = n - bz_.avail_out;
        end = r == BZ_STREAM_END;
        if (end) {
          BZ2_bzDecompressEnd(&bz_);
          BZ2_bzDecompressInit(&bz_, 0, 0);
        }
      } else {
        z_.next_in = inNext_;
        z_.avail_in = static_cast<uInt>(inLeft_);
        z_.next_out = data;
        z_.avail_out = static_cast<uInt>(n);
        const int r = inflate(&z_, Z_NO_FLUSH);
        if (r != Z_OK && r != Z_STREAM_END) return Failed();
        inNext_ = z_.next_in;
        inLeft_ = z_.avail_in;
        produced = n - z_.avail_out;
        end = r == Z_STREAM_END;
        if (end) inflateReset(&z_);
      }
      betweenStreams_ = end;
      if (produced > 0) return static_cast<std::ptrdiff_t>(produced);
    }
  }

 private:
  // Refills the input when it is empty; false on a read error.
  bool Fill() {
    if (inLeft_ > 0) return true;
    const std::ptrdiff_t got = a_.ReadSome(at_, in_.data(), in_.size());
    if (got < 0) return false;
    at_ += static_cast<uint64_t>(got);
    inNext_ = in_.data();
    inLeft_ = static_cast<size_t>(got);
    return true;
  }
  std::ptrdiff_t Failed() {
    failed_ = true;
    return -1;
  }

  const Payload& a_;
  bool bzip2_;
  std::vector<uint8_t> in_;
  uint8_t* inNext_ = nullptr;
  size_t inLeft_ = 0;
  uint64_t at_ = 0;
  bool betweenStreams_ = false, failed_ = false;
  z_stream z_{};
  bz_stream bz_{};
};

std::unique_ptr<Stream> Open(const Payload& a) {
  uint8_t head[3] = {};
  a.ReadAt(0, head, sizeof head);
  if (head[0] == 0x1F && head[1] == 0x8B) return std::make_unique<Decompressor>(a, false);
  if (std::memcmp(head, "BZh", 3) == 0) return std::make_unique<Decompressor>(a, true);
  return std::make_unique<PlainStream>(a);
}

uint64_t Number(const uint8_t* p, size_t n) {
  if (p[0] & 0x80) {  // base-256
    uint64_t v = p[0] & 0x7F;
    for (size_t i = 1; i < n; ++i) v = v << 8 | p[i];
    return v;
  }
  uint64_t v = 0;
  size_t i = 0;
  while (i < n && p[i] == ' ') ++i;
  for (; i < n && p[i] >= '0' && p[i] <= '7'; ++i) v = v * 8 + (p[i] - '0');
  return v;
}

bool ChecksumOk(const uint8_t* h) {
  const uint64_t stored = Number(h + 148, 8);
  uint64_t sum = 0;
  int64_t signedSum = 0;
  for (size_t i = 0; i < 512; ++i) {
    const uint8_t c = (i >= 148 && i < 156) ? ' ' : h[i];
    sum += c;
    signedSum += static_cast<int8_t>(c);
  }
  return stored == sum || static_cast<int64_t>(stored) == signedSum;
}

std::string Field(const uint8_t* p, size_t n) {
  size_t len = 0;
  while (len < n && p[len]) ++len;
  return std::string(reinterpret_cast<const char*>(p), len);
}

// Records "LEN key=value\n" of a pax header: path, size and mtime matter.
void ReadPax(const std::string& text, std::string& path, uint64_t& size, bool& hasSize, std::time_t& mtime, bool& hasTime) {
  size_t at = 0;
  while (at < text.size()) {
    const size_t space = text.find(' ', at);
    if (space == std::string::npos) return;
    const size_t len = std::strtoull(text.c_str() + at, nullptr, 10);
    if (len == 0 || at + len > text.size()) return;
    const std::string record = text.substr(space + 1, at + len - space - 2);
    const size_t eq = record.find('=');
    if (eq != std::string::npos) {
      const std::string key = record.substr(0, eq), value = record.substr(eq + 1);
      if (key == "path") path = value;
      else if (key == "size") size = std::strtoull(value.c_str(), nullptr, 10), hasSize = true;
      else if (key == "mtime") mtime = static_cast<std::time_t>(std::strtoll(value.c_str(), nullptr, 10)), hasTime = true;
    }
    at += len;
  }
}

// Reads (and drops) the whole stream: true when it decodes to its end.
bool WholeStreamGood(const Payload& a) {
  auto s = Open(a);
  std::vector<uint8_t> buffer(kChunk);
  for (;;) {
    const std::ptrdiff_t n = s->Read(buffer.data(), buffer.size());
    if (n == 0) return true;
    if (n < 0) return false;
  }
}

bool ReadBody(Stream& s, uint64_t size, std::string& text) {
  if (size > (1u << 24)) return false;
  std::vector<uint8_t> body(static_cast<size_t>((size + 511) / 512 * 512));
  if (!s.ReadExact(body.data(), body.size())) return false;
  text.assign(reinterpret_cast<const char*>(body.data()), static_cast<size_t>(size));
  return true;
}

}  // namespace

void UnpackTar(const Payload& a, Unpacker& out) {
  uint8_t head[2] = {};
  a.ReadAt(0, head, sizeof head);
  const bool compressed = (head[0] == 0x1F && head[1] == 0x8B) || (head[0] == 'B' && head[1] == 'Z');
  if (compressed && !WholeStreamGood(a)) {
    out.Fail("the archive", "damaged or cut short");
    return;
  }
  auto s = Open(a);
  std::vector<uint8_t> buffer(kChunk);
  std::string longName, paxPath;
  uint64_t paxSize = 0;
  bool paxHasSize = false, paxHasTime = false;
  std::time_t paxTime = 0;
  for (;;) {
    uint8_t h[512];
    if (!s->ReadExact(h, sizeof h)) {
      out.Fail("the archive", "cut short");
      return;
    }
    if (std::all_of(h, h + 512, [](uint8_t c) { return c == 0; })) return;
    if (!ChecksumOk(h)) {
      out.Fail("the archive", "damaged header");
      return;
    }
    const char type = static_cast<char>(h[156]);
    uint64_t size = Number(h + 124, 12);
    if (type == 'L' || type == 'K' || type == 'x' || type == 'g') {  // long names, pax records
      std::string text;
      if (!ReadBody(*s, size, text)) {
        out.Fail("the archive", "damaged header");
        return;
      }
      if (type == 'L') longName = text.c_str();
      if (type == 'x') ReadPax(text, paxPath, paxSize, paxHasSize, paxTime, paxHasTime);
      continue;
    }
    std::string name = Field(h, 100);
    if (std::memcmp(h + 257, "ustar", 5) == 0 && h[345]) name = Field(h + 345, 155) + "/" + name;
    if (!longName.empty()) name = longName;
    if (!paxPath.empty()) name = paxPath;
    if (paxHasSize) size = paxSize;
    const std::time_t mtime = paxHasTime ? paxTime : static_cast<std::time_t>(Number(h + 136, 12));
    longName.clear();
    paxPath.clear();
    paxHasSize = paxHasTime = false;
    name = UnmarkedName(name);

    const bool file = type == '0' || type == '\0' || type == '7';
    const bool directory = type == '5';
    bool writing = false;
    if (file || directory) writing = out.Begin(name, directory, mtime, static_cast<unsigned>(Number(h + 100, 8)));
    else out.Skip(name, "link or special file");
    uint64_t left = (size + 511) / 512 * 512;
    uint64_t data = file ? size : 0;
    bool good = true;
    while (left > 0) {
      const size_t n = static_cast<size_t>(std::min<uint64_t>(left, buffer.size()));
      if (!s->ReadExact(buffer.data(), n)) {
        good = false;
        break;
      }
      const size_t useful = static_cast<size_t>(std::min<uint64_t>(data, n));
      if (writing && useful > 0) out.Write(buffer.data(), useful);
      data -= useful;
      left -= n;
    }
    if (writing) out.End(good, "cut short");
    if (!good) {
      if (!writing) out.Fail(name, "cut short");
      return;
    }
  }
}

}  // namespace sfx
