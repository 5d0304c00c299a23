#include "Corpus.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace fs = std::filesystem;

namespace bench {

namespace {

const std::vector<std::string>& Words() {
  static const std::vector<std::string> words = {
      "archive", "member", "header", "window", "message", "attach", "folder", "packing", "library", "size",
      "the",     "of",     "and",    "to",     "in",      "a",      "is",     "that",    "for",     "it",
      "data",    "file",   "name",   "time",   "result",  "error",  "value",  "table",   "list",    "string",
      "mail",    "client", "module", "option", "switch",  "path",   "drive",  "code",    "page",    "text"};
  return words;
}

std::string Text(std::mt19937& gen, size_t size) {
  std::string s;
  s.reserve(size + 16);
  std::uniform_int_distribution<size_t> word(0, Words().size() - 1);
  std::uniform_int_distribution<int> number(0, 99999);
  while (s.size() < size) {
    for (int i = 0; i < 12 && s.size() < size; ++i) {
      if (i % 5 == 4)
        s += std::to_string(number(gen));
      else
        s += Words()[word(gen)];
      s += ' ';
    }
    s += '\n';
  }
  s.resize(size);
  return s;
}

// Records of little-endian fields, partly repeating: compresses, not much.
std::string Structured(std::mt19937& gen, size_t size) {
  std::string s;
  s.reserve(size + 32);
  uint32_t id = gen() % 1000, stamp = 1700000000;
  while (s.size() < size) {
    id += static_cast<uint32_t>(1 + gen() % 3);
    stamp += static_cast<uint32_t>(gen() % 60);
    const uint32_t fields[6] = {id, stamp, static_cast<uint32_t>(gen() % 256), static_cast<uint32_t>(gen() % 65536),
                                static_cast<uint32_t>(gen()), 0xCAFEu};
    s.append(reinterpret_cast<const char*>(fields), sizeof fields);
  }
  s.resize(size);
  return s;
}

std::string Random(std::mt19937& gen, size_t size) {
  std::string s(size, '\0');
  for (char& c : s) c = static_cast<char>(gen() & 0xFF);
  return s;
}

uint64_t Write(const fs::path& p, const std::string& data) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << data;
  return data.size();
}

}  // namespace

uint64_t MakeCorpus(const std::string& dir) {
  std::mt19937 gen(20261210);
  uint64_t total = 0;
  std::uniform_int_distribution<size_t> smallText(1000, 20000), smallBin(500, 16000);
  for (int i = 0; i < 3000; ++i)
    total += Write(fs::path(dir) / "small" / ("d" + std::to_string(i % 30)) / ("note" + std::to_string(i) + ".txt"),
                   Text(gen, smallText(gen)));
  for (int i = 0; i < 1000; ++i)
    total += Write(fs::path(dir) / "bin" / ("rec" + std::to_string(i) + ".dat"), Structured(gen, smallBin(gen)));
  total += Write(fs::path(dir) / "large" / "log.txt", Text(gen, 30u << 20));
  total += Write(fs::path(dir) / "large" / "table.dat", Structured(gen, 15u << 20));
  total += Write(fs::path(dir) / "large" / "noise.bin", Random(gen, 8u << 20));
  return total;
}

}  // namespace bench
