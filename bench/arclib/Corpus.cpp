#include "Corpus.h"

#include <cstdio>
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

// Comma-separated rows: dates, ids, amounts and a few repeating labels.
std::string Csv(std::mt19937& gen, size_t size) {
  static const char* labels[] = {"paid", "open", "refunded", "Tokyo", "Osaka", "Berlin", "invoice", "order"};
  std::string s = "date,id,customer,amount,state,city\n";
  std::uniform_int_distribution<int> day(1, 28), month(1, 12), amount(100, 999999), label(0, 7);
  unsigned id = gen() % 100000;
  while (s.size() < size) {
    char row[128];
    std::snprintf(row, sizeof row, "2026-%02d-%02d,%u,C%05u,%d.%02d,%s,%s\n", month(gen), day(gen), id++,
                  static_cast<unsigned>(gen() % 20000), amount(gen) / 100, amount(gen) % 100, labels[label(gen)],
                  labels[3 + label(gen) % 3]);
    s += row;
  }
  s.resize(size);
  return s;
}

// Log lines: time stamps, levels, a handful of messages with numbers.
std::string Log(std::mt19937& gen, size_t size) {
  static const char* levels[] = {"INFO", "INFO", "INFO", "WARN", "DEBUG", "ERROR"};
  static const char* messages[] = {"connection accepted from 10.0.%u.%u", "message %u queued for delivery",
                                   "attachment of %u bytes stored", "retrying in %u ms", "user %u logged in"};
  std::string s;
  unsigned seconds = 36000;
  while (s.size() < size) {
    seconds += gen() % 5;
    char text[96], line[192];
    std::snprintf(text, sizeof text, messages[gen() % 5], static_cast<unsigned>(gen() % 256),
                  static_cast<unsigned>(gen() % 65536));
    std::snprintf(line, sizeof line, "2026-12-10 %02u:%02u:%02u.%03u [%s] mailer: %s\n", seconds / 3600 % 24,
                  seconds / 60 % 60, seconds % 60, static_cast<unsigned>(gen() % 1000), levels[gen() % 6], text);
    s += line;
  }
  s.resize(size);
  return s;
}

}  // namespace

uint64_t MakeFolder(const std::string& dir) {
  std::mt19937 gen(20261211);
  uint64_t total = 0;
  std::uniform_int_distribution<size_t> size(1000, 56000);
  for (int i = 0; i < 10000; ++i) {
    const fs::path sub = fs::path(dir) / "folder" / ("part" + std::to_string(i % 50));
    const size_t n = size(gen);
    switch (i % 4) {
      case 0: total += Write(sub / ("notes" + std::to_string(i) + ".txt"), Text(gen, n)); break;
      case 1: total += Write(sub / ("table" + std::to_string(i) + ".csv"), Csv(gen, n)); break;
      case 2: total += Write(sub / ("server" + std::to_string(i) + ".log"), Log(gen, n)); break;
      default: total += Write(sub / ("blob" + std::to_string(i) + ".bin"), Random(gen, n)); break;
    }
  }
  return total;
}

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
