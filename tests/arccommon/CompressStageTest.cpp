// The compressing output stages against the reference tools: the gzip
// stage's member is one member that gzip tests and unpacks to the input,
// whatever the pieces and chunks; the bzip2 stage writes byte for byte what
// bzip2 writes, however runs of equal bytes meet the block boundaries.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <zlib.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "common/Bzip2Stage.h"
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

// Bytes of which no two neighbours are equal: libbz2's run-length coding
// leaves them as they are, so the block boundary lies at a known byte.
std::string NoRuns(size_t size, unsigned seed) {
  std::mt19937 gen(seed);
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) {
    char c;
    do c = static_cast<char>(gen() % 200 + 1);
    while (i > 0 && c == s[i - 1]);
    s[i] = c;
  }
  return s;
}

// Runs of random bytes and random lengths up to 600.
std::string RandomRuns(size_t size, unsigned seed) {
  std::mt19937 gen(seed);
  std::string s;
  while (s.size() < size) s.append(std::min<size_t>(1 + gen() % 600, size - s.size()), static_cast<char>(gen() % 3));
  return s;
}

struct Bzip2Case {
  std::string name;
  std::string data;
  int level;
};

class Bzip2Stage : public ::testing::Test {
 protected:
  void ExpectAsBzip2(const Bzip2Case& c, const std::vector<size_t>& chunks) {
    dir.WriteFile("in", c.data);
    const ToolResult reference = Tool("bzip2 -" + std::to_string(c.level) + " -c '" + dir.Path() + "/in'");
    ASSERT_EQ(reference.status, 0);
    for (size_t chunk : chunks) {
      SCOPED_TRACE(c.name + " at level " + std::to_string(c.level) + ", chunks of " + std::to_string(chunk));
      arc::Bzip2Stage stage(c.level);
      const std::string ours = RunStage(stage, c.data, chunk);
      EXPECT_TRUE(ours == reference.output) << "ours " << ours.size() << " bytes, bzip2's " << reference.output.size();
    }
  }
  vxtest::ScratchDir dir;
};

// At level 1 the block is full at a coded size of 99981 bytes.
TEST_F(Bzip2Stage, RunsAtTheBlockBoundaryGoWhereBzip2PutsThem) {
  const size_t limit = 99981;
  for (size_t before : {size_t{0}, size_t{1}, size_t{2}, size_t{4}, size_t{5}})
    for (size_t run : {1, 3, 4, 5, 255, 256, 259, 260, 511}) {
      std::string data = NoRuns(limit - before, static_cast<unsigned>(before));
      data.append(run, '\xF0');  // NoRuns makes no byte above 200
      data += NoRuns(3000, 99);
      ExpectAsBzip2({"a run of " + std::to_string(run) + " from " + std::to_string(before) + " before the limit",
                     data, 1},
                    {10240});
    }
}

TEST_F(Bzip2Stage, WritesWhatBzip2Writes) {
  const std::vector<Bzip2Case> cases = {
      {"an empty stream", "", 9},
      {"one byte", "x", 9},
      {"one byte at level 1", "x", 1},
      {"exactly one block", NoRuns(99981, 1), 1},
      {"one block and a byte", NoRuns(99982, 2), 1},
      {"runs over many blocks", RandomRuns(700000, 3), 1},
      {"zeros: blocks of runs", std::string(12 << 20, '\0'), 1},
      {"text over blocks of 900 k", Text(2500000, 4), 9},
      {"incompressible", Noise(1000000, 5), 9},
      {"runs at level 5", RandomRuns(1200000, 6), 5},
  };
  for (const Bzip2Case& c : cases) ExpectAsBzip2(c, {10240, 1 << 20});
  ExpectAsBzip2({"runs, one byte at a time", RandomRuns(250000, 7), 1}, {1});
}

TEST_F(Bzip2Stage, ASinkFailurePassesThrough) {
  arc::Bzip2Stage stage(1);
  size_t written = 0;
  stage.SetSink([&written](const void*, size_t n) {
    if (written + n > 3000) throw arc::Failure(0x8005, "disk full");
    written += n;
  });
  const std::string data = Noise(1000000, 11);
  EXPECT_THROW(
      {
        for (size_t at = 0; at < data.size(); at += 10240)
          stage.Write(reinterpret_cast<const uint8_t*>(data.data() + at), std::min<size_t>(10240, data.size() - at));
        stage.Finish();
      },
      arc::Failure);
}

}  // namespace
