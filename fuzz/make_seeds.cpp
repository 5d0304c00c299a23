// Writes the seed corpora of the fuzz targets: archives from our own LHA
// writer, and hand-made members of the forms our writers never make (other
// header levels, stored ZIP with ZIP64 records and data descriptors, ARJ,
// tar, ELF programs with an archive appended, ini files, command lines).
//
//   fuzz_seeds OUTPUT_DIR     (one folder per target below it)
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "lha/lha_writer.h"

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

namespace {

fs::path root;

void Save(const std::string& target, const std::string& name, const Bytes& bytes) {
  fs::create_directories(root / target);
  std::ofstream(root / target / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}
void SaveText(const std::string& target, const std::string& name, const std::string& text) {
  Save(target, name, Bytes(text.begin(), text.end()));
}

void Put16(Bytes& b, uint32_t v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}
void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
void Put64(Bytes& b, uint64_t v) {
  Put32(b, static_cast<uint32_t>(v));
  Put32(b, static_cast<uint32_t>(v >> 32));
}
void Append(Bytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }
void Append(Bytes& b, const Bytes& s) { b.insert(b.end(), s.begin(), s.end()); }
uint32_t Crc32(const Bytes& b) { return static_cast<uint32_t>(crc32(0, b.data(), static_cast<uInt>(b.size()))); }

const std::string kText = "The quick brown fox jumps over the lazy dog.\nThe quick brown fox jumps again.\n";

Bytes TextData() { return Bytes(kText.begin(), kText.end()); }
Bytes Repeated(size_t n) {
  Bytes b;
  for (size_t i = 0; i < n; ++i) b.push_back(static_cast<uint8_t>("abcabcabd"[i % 9]));
  return b;
}

// ---- LHA: our writer, every method it has ----------------------------------

void LhaSeeds() {
  struct Kind {
    const char* name;
    lha::WriterOptions options;
  };
  lha::WriterOptions lh5, lh6, lh7, stored;
  lh6.method = lha::Method::Lh6;
  lh7.method = lha::Method::Lh7;
  stored.storeOnly = true;
  for (const Kind& k : {Kind{"lh5", lh5}, Kind{"lh6", lh6}, Kind{"lh7", lh7}, Kind{"lh0", stored}}) {
    Bytes archive;
    lha::VectorSink sink(archive);
    lha::LhaWriter writer(sink, k.options);
    lha::MemberInfo dir;
    dir.name = "dir";
    dir.directory = true;
    writer.AddMember(dir, std::span<const uint8_t>());
    lha::MemberInfo text;
    text.name = "dir\\text.txt";
    const Bytes t = TextData();
    writer.AddMember(text, t);
    lha::MemberInfo runs;
    runs.name = "runs.bin";
    const Bytes r = Repeated(3000);
    writer.AddMember(runs, r);
    writer.Finish();
    Save("lha", std::string(k.name) + ".lzh", archive);
  }
}

// A level-0 and a level-1 header by hand (header checksum; the CRC-16 of the
// data is left 0, which the reader reports), with -lh0- data; level 1 with
// a Unix time extended header.
Bytes LhaOldLevel(int level) {
  const Bytes data = TextData();
  Bytes extended;
  if (level == 1) {
    extended.push_back(0x54);
    Put32(extended, 1000000000);
    Put16(extended, 0);  // no further extended header
  }
  Bytes base;
  Append(base, "-lh0-");
  Put32(base, static_cast<uint32_t>(data.size() + extended.size()));
  Put32(base, static_cast<uint32_t>(data.size()));
  Put32(base, 0x5A210000);  // DOS time
  base.push_back(0x20);     // attribute
  base.push_back(static_cast<uint8_t>(level));
  const std::string name = "old.txt";
  base.push_back(static_cast<uint8_t>(name.size()));
  Append(base, name);
  Put16(base, 0);  // CRC-16
  if (level == 1) {
    base.push_back('U');
    Put16(base, static_cast<uint32_t>(extended.size()));
  }
  uint8_t sum = 0;
  for (uint8_t c : base) sum = static_cast<uint8_t>(sum + c);
  Bytes h{static_cast<uint8_t>(base.size()), sum};
  Append(h, base);
  Append(h, extended);
  Append(h, data);
  h.push_back(0);
  return h;
}

// ---- ZIP: stored members, with data descriptors and ZIP64 records ---------

Bytes Zip(bool descriptor, bool zip64, const std::string& prefix = std::string()) {
  const Bytes data = TextData();
  const uint32_t crc = Crc32(data);
  Bytes z;
  Append(z, prefix);
  const uint32_t local = static_cast<uint32_t>(z.size());
  const std::string name = "a.txt";
  Append(z, "PK\x03\x04");
  Put16(z, zip64 ? 45 : 20);
  Put16(z, descriptor ? 0x0808 : 0x0800);
  Put16(z, 0);  // stored
  Put32(z, 0x5A210000);
  Put32(z, descriptor ? 0 : crc);
  Put32(z, descriptor ? 0 : (zip64 ? 0xFFFFFFFF : static_cast<uint32_t>(data.size())));
  Put32(z, descriptor ? 0 : (zip64 ? 0xFFFFFFFF : static_cast<uint32_t>(data.size())));
  Put16(z, static_cast<uint32_t>(name.size()));
  Put16(z, zip64 ? 20 : 0);
  Append(z, name);
  if (zip64) {
    Put16(z, 1);
    Put16(z, 16);
    Put64(z, data.size());
    Put64(z, data.size());
  }
  Append(z, data);
  if (descriptor) {
    Append(z, "PK\x07\x08");
    Put32(z, crc);
    if (zip64) {
      Put64(z, data.size());
      Put64(z, data.size());
    } else {
      Put32(z, static_cast<uint32_t>(data.size()));
      Put32(z, static_cast<uint32_t>(data.size()));
    }
  }
  const uint32_t central = static_cast<uint32_t>(z.size());
  Append(z, "PK\x01\x02");
  Put16(z, 0x031E);
  Put16(z, zip64 ? 45 : 20);
  Put16(z, descriptor ? 0x0808 : 0x0800);
  Put16(z, 0);
  Put32(z, 0x5A210000);
  Put32(z, crc);
  Put32(z, zip64 ? 0xFFFFFFFF : static_cast<uint32_t>(data.size()));
  Put32(z, zip64 ? 0xFFFFFFFF : static_cast<uint32_t>(data.size()));
  Put16(z, static_cast<uint32_t>(name.size()));
  Put16(z, zip64 ? 28 : 0);
  Put16(z, 0);
  Put16(z, 0);
  Put16(z, 0);
  Put32(z, 0x81A40000);
  Put32(z, zip64 ? 0xFFFFFFFF : local);
  Append(z, name);
  if (zip64) {
    Put16(z, 1);
    Put16(z, 24);
    Put64(z, data.size());
    Put64(z, data.size());
    Put64(z, local);
  }
  const uint32_t centralSize = static_cast<uint32_t>(z.size()) - central;
  if (zip64) {
    const uint64_t record = z.size();
    Append(z, "PK\x06\x06");
    Put64(z, 44);
    Put16(z, 45);
    Put16(z, 45);
    Put32(z, 0);
    Put32(z, 0);
    Put64(z, 1);
    Put64(z, 1);
    Put64(z, centralSize);
    Put64(z, central);
    Append(z, "PK\x06\x07");
    Put32(z, 0);
    Put64(z, record);
    Put32(z, 1);
  }
  Append(z, "PK\x05\x06");
  Put16(z, 0);
  Put16(z, 0);
  Put16(z, zip64 ? 0xFFFF : 1);
  Put16(z, zip64 ? 0xFFFF : 1);
  Put32(z, zip64 ? 0xFFFFFFFF : centralSize);
  Put32(z, zip64 ? 0xFFFFFFFF : central);
  Put16(z, 0);
  return z;
}

// ---- ARJ: a stored member, every header with its CRC-32 --------------------

void ArjHeader(Bytes& out, const Bytes& basic) {
  out.push_back(0x60);
  out.push_back(0xEA);
  Put16(out, static_cast<uint32_t>(basic.size()));
  Append(out, basic);
  Put32(out, Crc32(basic));
  Put16(out, 0);  // no extended header
}

Bytes ArjBasic(uint8_t type, uint8_t method, uint32_t packed, uint32_t original, uint32_t crc, const std::string& name,
               uint8_t hostOs) {
  Bytes b;
  b.push_back(30);  // first header size
  b.push_back(11);  // archiver version
  b.push_back(1);   // minimum version
  b.push_back(hostOs);
  b.push_back(0);  // flags
  b.push_back(method);
  b.push_back(type);
  b.push_back(0);
  Put32(b, hostOs == 2 ? 1000000000u : 0x5A210000u);  // a Unix time or a DOS date
  Put32(b, packed);
  Put32(b, original);
  Put32(b, crc);
  Put16(b, 0);       // entry name position
  Put16(b, 0x20);    // access mode
  Put16(b, 0);       // host data
  Append(b, name);
  b.push_back(0);
  b.push_back(0);  // empty comment
  return b;
}

Bytes Arj(uint8_t hostOs) {
  const Bytes data = TextData();
  Bytes a;
  ArjHeader(a, ArjBasic(2, 0, 0, 0, 0, "seed.arj", hostOs));
  ArjHeader(a, ArjBasic(0, 0, static_cast<uint32_t>(data.size()), static_cast<uint32_t>(data.size()), Crc32(data),
                        "a.txt", hostOs));
  Append(a, data);
  a.push_back(0x60);
  a.push_back(0xEA);
  Put16(a, 0);
  return a;
}

// ---- tar: one ustar member, plain and gzip-compressed ----------------------

Bytes Tar() {
  const Bytes data = TextData();
  Bytes h(512, 0);
  const std::string name = "a.txt";
  std::copy(name.begin(), name.end(), h.begin());
  auto octal = [&](size_t at, size_t width, uint64_t v) {
    char text[32];
    std::snprintf(text, sizeof text, "%0*llo", static_cast<int>(width - 1), static_cast<unsigned long long>(v));
    std::copy(text, text + width - 1, h.begin() + at);
  };
  octal(100, 8, 0644);
  octal(108, 8, 0);
  octal(116, 8, 0);
  octal(124, 12, data.size());
  octal(136, 12, 1000000000);
  h[156] = '0';
  std::copy_n("ustar", 6, h.begin() + 257);
  h[263] = '0';
  h[264] = '0';
  std::fill(h.begin() + 148, h.begin() + 156, ' ');
  unsigned sum = 0;
  for (uint8_t c : h) sum += c;
  octal(148, 7, sum);
  Bytes t = h;
  Append(t, data);
  t.resize(t.size() + (512 - data.size() % 512) % 512 + 1024, 0);
  return t;
}

Bytes Gzip(const Bytes& raw) {
  z_stream s{};
  deflateInit2(&s, 9, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
  Bytes out(compressBound(static_cast<uLong>(raw.size())) + 64);
  s.next_in = const_cast<Bytef*>(raw.data());
  s.avail_in = static_cast<uInt>(raw.size());
  s.next_out = out.data();
  s.avail_out = static_cast<uInt>(out.size());
  deflate(&s, Z_FINISH);
  out.resize(s.total_out);
  deflateEnd(&s);
  return out;
}

// ---- a 64-bit ELF header with an archive behind it -------------------------

Bytes ElfWith(const Bytes& payload) {
  Bytes e(64, 0);
  const uint8_t ident[] = {0x7F, 'E', 'L', 'F', 2, 1, 1};
  std::copy(std::begin(ident), std::end(ident), e.begin());
  e[16] = 2;   // executable
  e[18] = 62;  // x86-64
  e[20] = 1;
  e[52] = 64;  // header size
  e[58] = 64;  // section header entry size, no sections
  Append(e, payload);
  return e;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds OUTPUT_DIR\n");
    return 2;
  }
  root = argv[1];
  LhaSeeds();
  Save("lha", "level0.lzh", LhaOldLevel(0));
  Save("lha", "level1.lzh", LhaOldLevel(1));
  const Bytes zips[] = {Zip(false, false), Zip(true, false), Zip(false, true), Zip(true, true)};
  const char* zipNames[] = {"stored.zip", "descriptor.zip", "zip64.zip", "zip64-descriptor.zip"};
  for (int i = 0; i < 4; ++i) {
    Save("zip", zipNames[i], zips[i]);
    Save("zip_repair", zipNames[i], zips[i]);
  }
  Save("zip_repair", "stub.exe", Zip(false, false, std::string(300, 'S')));
  Save("zip_repair", "stub64.exe", Zip(false, true, std::string(300, 'S')));
  Save("arj", "dos.arj", Arj(0));
  Save("arj", "unix.arj", Arj(2));
  Save("tar", "plain.tar", Tar());
  Save("tar", "gzip.tgz", Gzip(Tar()));
  Save("sfx", "zip.exe", ElfWith(Zip(false, false)));
  Save("sfx", "tar.exe", ElfWith(Gzip(Tar())));
  Save("sfx", "empty.exe", ElfWith({}));
  SaveText("ini", "settings.ini", "[Options]\r\nArchiveType=1\r\nIsSfx=0\r\nShowResult=1\r\n");
  SaveText("ini", "odd.ini", "; comment\n[Other]\nkey = value\n[Options]\nArchiveType=0x1F\nIsSfx=$1\n\n[Empty]\n");
  SaveText("cmdline", "lha.txt", "u -+ -x0 -gw3 -jp \"Z:\\tmp\\a.lzh\" \"Z:\\tmp\\\" \"b.txt\" \"@Z:\\tmp\\list.txt\"");
  SaveText("cmdline", "zip.txt", " -D -j -S  \"C:\\T\\a.zip\" \"C:/d/a.txt\" \"C:/d/[[]1].txt\" ");
  SaveText("cmdline", "tar.txt", "c -z9 -f \"C:\\a.tgz\" \"C:\\base\\\" \"x\\1.txt\"");
  SaveText("cmdline", "names.txt", "\"a.txt\"\r\n\"..\\up.txt\"\r\nC:\\abs.txt\r\n\"sub/./b.txt\"\r\n");
  SaveText("wildcard", "star.txt", std::string("*.txt\0a.txt", 11));
  SaveText("wildcard", "class.txt", std::string("[[]1]*[abc]?\0[1]xb!", 19));
  SaveText("wildcard", "kanji.txt", std::string("*\x95\x5C*\0\x95\x5C.txt", 11));
  return 0;
}
