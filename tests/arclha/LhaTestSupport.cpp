#include "LhaTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include <sys/wait.h>

#include "lh5_decoder.h"
#include "lha_header.h"

namespace lhatest {

TempDir::TempDir() {
  const char* tmp = std::getenv("TMPDIR");
  std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/arclha-XXXXXX";
  if (!mkdtemp(tmpl.data())) std::abort();
  path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

Bytes RandomBytes(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes out(size);
  for (size_t i = 0; i < size; i += 4) {
    const uint32_t v = rng();
    for (size_t k = 0; k < 4 && i + k < size; ++k) out[i + k] = static_cast<uint8_t>(v >> (8 * k));
  }
  return out;
}

Bytes TextBytes(size_t size, uint32_t seed) {
  static const char* const kWords[] = {
      "the",    "archive", "member",  "window", "header", "return", "const",  "int",
      "static", "void",    "for",     "while",  "data",   "size",   "offset", "value",
      "of",     "and",     "to",      "is",     "a",      "in",     "that",   "with",
      "{",      "}",       "(",       ");",     "=",      "+=",     "\n",     "\n    "};
  std::mt19937 rng(seed);
  Bytes out;
  out.reserve(size + 16);
  while (out.size() < size) {
    // A skewed choice, as real word frequencies are.
    const size_t n = std::size(kWords);
    const size_t i = std::min<size_t>(rng() % n, rng() % n);
    const std::string w = kWords[i];
    out.insert(out.end(), w.begin(), w.end());
    if (rng() % 7 == 0) {
      const std::string num = std::to_string(rng() % 100000);
      out.insert(out.end(), num.begin(), num.end());
    }
    out.push_back(' ');
  }
  out.resize(size);
  return out;
}

Bytes MixedBytes(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes out;
  while (out.size() < size) {
    const size_t piece = 1000 + rng() % 40000;
    Bytes part;
    switch (rng() % 4) {
      case 0: part = TextBytes(piece, rng()); break;
      case 1: part = RandomBytes(piece, rng()); break;
      case 2: part.assign(piece, static_cast<uint8_t>(rng())); break;
      default:  // a repeat of earlier output, near or far
        if (!out.empty()) {
          const size_t from = rng() % out.size();
          const size_t n = std::min(piece, out.size() - from);
          part.assign(out.begin() + from, out.begin() + from + n);
        }
        break;
    }
    out.insert(out.end(), part.begin(), part.end());
  }
  out.resize(size);
  return out;
}

Bytes ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), {});
}

void WriteFile(const std::string& path, const Bytes& data) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

CommandResult RunCommand(const std::string& command) {
  CommandResult r;
  std::FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.output.append(buf, n);
  const int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) {
    if (c == '\'') {
      q += "'\\''";
    } else {
      q += c;
    }
  }
  return q + "'";
}

bool HaveLhasa() { return RunCommand("command -v lha").status == 0; }

LhasaTest RunLhasaTest(const std::string& archive) {
  const CommandResult r = RunCommand("lha t " + Quote(archive));
  LhasaTest t;
  t.status = r.status;
  t.output = r.output;
  for (size_t at = 0; (at = r.output.find("\t- Tested", at)) != std::string::npos; ++at) ++t.tested;
  return t;
}

void WriteArchive(const std::string& path, const std::vector<Member>& members,
                  const lha::WriterOptions& options, std::vector<lha::AddResult>* results) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  {
    lha::FileSink sink(f);
    lha::LhaWriter writer(sink, options);
    for (const Member& m : members) {
      lha::AddResult r;
      EXPECT_EQ(writer.AddMember(m.info, m.data, &r), lha::Result::Ok) << m.info.name;
      if (results) results->push_back(r);
    }
    EXPECT_EQ(writer.Finish(), lha::Result::Ok);
  }
  EXPECT_EQ(std::fclose(f), 0);
}

lha::Result ReadArchive(const Bytes& archive, std::vector<ReadMember>* members) {
  lha::MemorySource source(archive);
  lha::LhaReader reader(source);
  members->clear();
  for (;;) {
    ReadMember m;
    const lha::Result r = reader.Next(&m.header);
    if (r != lha::Result::Ok) return r;
    m.extract = reader.Extract(m.header, &m.data);
    members->push_back(std::move(m));
  }
}

Bytes EncodeRaw(const Bytes& data, const lha::detail::Lh5Params& params, int dicBits,
                size_t maxPiece) {
  lha::detail::Lh5Encoder enc(params, dicBits);
  for (size_t at = 0; at < data.size();) {
    const size_t n = std::min(data.size() - at, 1 + (at * 7919) % maxPiece);
    enc.Write(data.data() + at, n);
    at += n;
  }
  enc.Finish();
  return enc.Out().Bytes();
}

Bytes EncodeRaw(const Bytes& data, int blockSymbols, int dicBits) {
  lha::detail::Lh5Params params;
  params.blockSymbols = blockSymbols;
  return EncodeRaw(data, params, dicBits);
}

Bytes Decode(const Bytes& packed, uint32_t size, lha::Result* r, int dicBits) {
  lha::MemorySource src(packed);
  lha::detail::BitReader in(src, packed.size());
  const int np = dicBits <= 13 ? 14 : dicBits + 1;
  lha::detail::Lh5Decoder dec(dicBits, np, np < 16 ? 4 : 5);
  Bytes out;
  *r = dec.Decode(in, size, [&](const uint8_t* p, size_t n) {
    out.insert(out.end(), p, p + n);
    return true;
  });
  return out;
}

const char* MethodOf(int dicBits) {
  return dicBits == 16 ? "-lh7-" : dicBits == 15 ? "-lh6-" : "-lh5-";
}

void AppendMember(Bytes* archive, const std::string& name, const char* method, const Bytes& data,
                  const Bytes& packed) {
  lha::detail::Level2Fields f;
  f.parts = {name};
  std::copy_n(method, 5, f.method);
  f.compressedSize = static_cast<uint32_t>(packed.size());
  f.originalSize = static_cast<uint32_t>(data.size());
  f.crc16 = lha::Crc16(data.data(), data.size());
  const Bytes h = lha::detail::BuildLevel2Header(f);
  archive->insert(archive->end(), h.begin(), h.end());
  archive->insert(archive->end(), packed.begin(), packed.end());
}

bool Have7zz() { return RunCommand("command -v 7zz").status == 0; }

}  // namespace lhatest
