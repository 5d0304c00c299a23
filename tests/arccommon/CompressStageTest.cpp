// The compressing output stages against the reference tools: the gzip
// stage's member is one member that gzip tests and unpacks to the input,
// whatever the pieces and chunks.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "common/Failure.h"
#include "common/GzipStage.h"
#include "support/Scratch.h"

namespace {

std::string Text(size_t size, unsigned seed) {
  std::mt19937 gen(seed);
  static const char* words[] = {"mail ", "archive ", "member ", "the ", "of ", "\n", "window ", "0123 "};
  std::string s;
  while (s.size() < size)
    for (const char* c = words[gen() % 8]; *c != 0 && s.size() < size; ++c) s += *c;
  return s;
}

std::string Noise(size_t size, unsigned seed) {
  std::mt19937 gen(seed);
  std::string s(size, '\0');
  for (char& c : s) c = static_cast<char>(gen());
  return s;
}

// Runs the stage over `data`, handed over in chunks of `chunk` bytes.
std::string RunStage(arc::OutputStage& stage, const std::string& data, size_t chunk) {
  std::string out;
  stage.SetSink([&out](const void* p, size_t n) { out.append(static_cast<const char*>(p), n); });
  for (size_t at = 0; at < data.size(); at += chunk) {
    const size_t n = std::min(chunk, data.size() - at);
    stage.Write(reinterpret_cast<const uint8_t*>(data.data() + at), n);
  }
  stage.Finish();
  return out;
}

struct ToolResult {
  int status = -1;
  std::string output;
};

ToolResult Tool(const std::string& command) {
  ToolResult r;
  FILE* p = popen(command.c_str(), "r");
  if (p == nullptr) return r;
  char buf[65536];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.output.append(buf, n);
  const int status = pclose(p);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

// The number of gzip members zlib finds, each to its end; -1 when the
// data is no sequence of whole members.
int GzipMembers(const std::string& file) {
  int members = 0;
  size_t at = 0;
  std::vector<unsigned char> sink(1 << 16);
  while (at < file.size()) {
    z_stream z{};
    if (inflateInit2(&z, 16 + 15) != Z_OK) return -1;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(file.data() + at));
    z.avail_in = static_cast<uInt>(file.size() - at);
    int r;
    do {
      z.next_out = sink.data();
      z.avail_out = static_cast<uInt>(sink.size());
      r = inflate(&z, Z_NO_FLUSH);
    } while (r == Z_OK);
    at += z.total_in;
    inflateEnd(&z);
    if (r != Z_STREAM_END) return -1;
    ++members;
  }
  return members;
}

struct GzipCase {
  const char* name;
  std::string data;
  size_t pieceSize;
  int level;
};

TEST(GzipStage, MakesOneMemberThatGzipUnpacksToTheInput) {
  const size_t piece = 64 << 10;
  const std::vector<GzipCase> cases = {
      {"empty", "", piece, 7},
      {"one byte", "x", piece, 7},
      {"exactly one piece", Text(piece, 1), piece, 7},
      {"one piece and a byte", Text(piece + 1, 2), piece, 7},
      {"one byte short of two pieces", Text(2 * piece - 1, 3), piece, 9},
      {"many pieces of text", Text(10 * piece + 123, 4), piece, 7},
      {"incompressible", Noise(3 * piece + 7, 5), piece, 7},
      {"zeros", std::string(5 * piece, '\0'), piece, 7},
      {"stored (level 0)", Text(3 * piece, 6), piece, 0},
      {"fastest", Text(3 * piece, 7), piece, 1},
      {"tightest", Text(3 * piece, 8), piece, 12},
      {"default pieces", Text((9 << 20) + 5, 9), arc::kDeflatePieceSize, 7},
  };
  vxtest::ScratchDir dir;
  for (const GzipCase& c : cases) {
    for (size_t chunk : {size_t{1000}, size_t{10240}, size_t{1} << 20}) {
      if (chunk == 1000 && c.data.size() > (1u << 20)) continue;
      SCOPED_TRACE(std::string(c.name) + ", chunks of " + std::to_string(chunk));
      arc::GzipStage stage(c.level, c.pieceSize);
      const std::string gz = RunStage(stage, c.data, chunk);
      EXPECT_EQ(GzipMembers(gz), 1);
      dir.WriteFile("a.gz", gz);
      const std::string path = dir.Path() + "/a.gz";
      EXPECT_EQ(Tool("gzip -t '" + path + "' 2>&1").status, 0);
      const ToolResult unpacked = Tool("gzip -dc '" + path + "'");
      EXPECT_EQ(unpacked.status, 0);
      EXPECT_TRUE(unpacked.output == c.data) << "gzip unpacks " << unpacked.output.size() << " bytes";
    }
  }
}

// A failing sink (a full disk) fails the stage with the sink's failure.
TEST(GzipStage, ASinkFailurePassesThrough) {
  arc::GzipStage stage(7, 4096);
  size_t written = 0;
  stage.SetSink([&written](const void*, size_t n) {
    if (written + n > 3000) throw arc::Failure(0x8005, "disk full");
    written += n;
  });
  const std::string data = Noise(200000, 11);
  EXPECT_THROW(
      {
        for (size_t at = 0; at < data.size(); at += 10240)
          stage.Write(reinterpret_cast<const uint8_t*>(data.data() + at), std::min<size_t>(10240, data.size() - at));
        stage.Finish();
      },
      arc::Failure);
}

}  // namespace
