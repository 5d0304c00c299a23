// Pieces deflated apart join into one stream zlib inflates whole, and the
// worker pool hands results back in order, errors at their turn.
#include <gtest/gtest.h>
#include <zlib.h>

#include <atomic>
#include <chrono>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "common/DeflatePiece.h"
#include "common/OrderedWork.h"

namespace {

std::vector<uint8_t> Inflate(const std::vector<uint8_t>& stream, size_t expected) {
  z_stream z{};
  EXPECT_EQ(inflateInit2(&z, -15), Z_OK);
  std::vector<uint8_t> out(expected + 1);
  z.next_in = const_cast<Bytef*>(stream.data());
  z.avail_in = static_cast<uInt>(stream.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  const int r = inflate(&z, Z_FINISH);
  EXPECT_EQ(r, Z_STREAM_END);
  EXPECT_EQ(z.avail_in, 0u) << "bytes after the stream's end";
  out.resize(z.total_out);
  inflateEnd(&z);
  return out;
}

std::vector<uint8_t> Text(size_t size, unsigned seed) {
  std::mt19937 gen(seed);
  static const char* words[] = {"mail ", "archive ", "member ", "the ", "of ", "\n", "0x00 ", "window "};
  std::vector<uint8_t> s;
  while (s.size() < size)
    for (const char* c = words[gen() % 8]; *c != 0 && s.size() < size; ++c) s.push_back(static_cast<uint8_t>(*c));
  return s;
}

std::vector<uint8_t> Noise(size_t size, unsigned seed) {
  std::mt19937 gen(seed);
  std::vector<uint8_t> s(size);
  for (uint8_t& b : s) b = static_cast<uint8_t>(gen());
  return s;
}

struct JoinCase {
  const char* name;
  std::vector<uint8_t> data;
  std::vector<size_t> pieces;  // sizes of all pieces but the last
  int level;
};

// Many piece sizes, so that the pieces end on every bit of a byte.
TEST(DeflatePiece, PiecesJoinIntoOneStream) {
  std::vector<JoinCase> cases = {
      {"text in two", Text(100000, 1), {50000}, 7},
      {"noise (stored blocks) in three", Noise(200000, 2), {70000, 70000}, 10},
      {"zeros", std::vector<uint8_t>(300000, 0), {1, 100000}, 7},
      {"one-byte pieces", Text(40, 3), std::vector<size_t>(39, 1), 6},
      {"an empty piece among others", Text(5000, 4), {0, 2500, 0}, 12},
      {"empty stream, one empty piece before the last", {}, {0}, 7},
  };
  std::mt19937 gen(5);
  for (int i = 0; i < 24; ++i) {
    JoinCase c{"random cuts", Text(30000 + gen() % 30000, 10 + i), {}, 1 + i % 12};
    size_t used = 0;
    for (int k = 0; k < 5; ++k) {
      const size_t n = gen() % 6000;
      c.pieces.push_back(n);
      used += n;
    }
    ASSERT_LT(used, c.data.size());
    cases.push_back(std::move(c));
  }
  for (const JoinCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> joined;
    size_t at = 0;
    for (size_t n : c.pieces) {
      const auto piece = arc::DeflatePiece(c.level, c.data.data() + at, n, false);
      joined.insert(joined.end(), piece.begin(), piece.end());
      at += n;
    }
    const auto tail = arc::DeflatePiece(c.level, c.data.data() + at, c.data.size() - at, true);
    joined.insert(joined.end(), tail.begin(), tail.end());
    EXPECT_EQ(Inflate(joined, c.data.size()), c.data);
  }
}

// Only data that gives the fast level nothing is passed over by the slow
// ones; noise repeated is compressible and must not look like noise.
TEST(DeflatePiece, TellsNoiseFromWhatCompresses) {
  std::vector<uint8_t> repeated;
  const auto block = Noise(2000, 9);
  while (repeated.size() < 100000) repeated.insert(repeated.end(), block.begin(), block.end());
  struct Case {
    const char* name;
    std::vector<uint8_t> data;
    bool incompressible;
  } cases[] = {
      {"noise", Noise(200000, 6), true},
      {"text", Text(200000, 7), false},
      {"noise repeated", repeated, false},
      {"zeros", std::vector<uint8_t>(100000, 0), false},
      {"a little noise", Noise(3000, 8), false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(arc::LooksIncompressible(c.data.data(), c.data.size()), c.incompressible) << c.name;
}

TEST(OrderedWork, DeliversInSubmissionOrder) {
  arc::OrderedWork work(2, 3);
  std::vector<int> delivered;
  std::vector<int> results(40);
  for (int i = 0; i < 40; ++i)
    work.Submit(
        [i, &results] {
          // Early jobs take longest, so they finish last.
          std::this_thread::sleep_for(std::chrono::microseconds((40 - i) * 50));
          results[static_cast<size_t>(i)] = i * i;
        },
        [i, &results, &delivered] { delivered.push_back(results[static_cast<size_t>(i)]); });
  work.Drain();
  ASSERT_EQ(delivered.size(), 40u);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(delivered[static_cast<size_t>(i)], i * i);
}

TEST(OrderedWork, AJobsErrorIsThrownAtItsTurn) {
  arc::OrderedWork work(2, 4);
  std::vector<int> delivered;
  for (int i = 0; i < 3; ++i)
    work.Submit(
        [i] {
          if (i == 1) throw std::runtime_error("job 1 failed");
        },
        [i, &delivered] { delivered.push_back(i); });
  EXPECT_THROW(work.Drain(), std::runtime_error);
  EXPECT_EQ(delivered, std::vector<int>{0});
}

// Given up with jobs queued and running (a failed write, say): the pool
// stops without running the rest and without delivering them.
TEST(OrderedWork, GivenUpWithJobsLeftStopsCleanly) {
  std::atomic<int> ran{0};
  int delivered = 0;
  {
    arc::OrderedWork work(1, 100);
    for (int i = 0; i < 50; ++i)
      work.Submit(
          [&ran] {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            ++ran;
          },
          [&delivered] { ++delivered; });
  }
  EXPECT_LT(ran.load(), 50);
  EXPECT_EQ(delivered, 0);
}

}  // namespace
