// The coding layers below the archive: CRC-16, length-limited Huffman codes,
// and the -lh5- stream itself with block shapes that ordinary data rarely
// produces (trees of one symbol, deep trees), judged by our decoder and lhasa.
#include <gtest/gtest.h>

#include <numeric>
#include <random>

#include "LhaTestSupport.h"
#include "huffman.h"
#include "lh5_decoder.h"
#include "lh5_encoder.h"
#include "lha_header.h"

namespace lhatest {
namespace {

using lha::detail::BuildLengths;
using lha::detail::HuffDecoder;
using lha::detail::MakeCodes;

TEST(Crc16, KnownValuesAndPieces) {
  EXPECT_EQ(lha::Crc16("123456789", 9), 0xBB3D);
  EXPECT_EQ(lha::Crc16("", 0), 0);
  const Bytes data = RandomBytes(1001, 7);
  // Any split, odd or even, gives the CRC of the whole.
  for (size_t cut : {size_t{0}, size_t{1}, size_t{2}, size_t{500}, size_t{1001}}) {
    uint16_t c = lha::Crc16Update(0, data.data(), cut);
    c = lha::Crc16Update(c, data.data() + cut, data.size() - cut);
    EXPECT_EQ(c, lha::Crc16(data.data(), data.size())) << cut;
  }
}

// Kraft sum of the lengths in units of 2^-16; a complete code gives 65536.
uint32_t Kraft(const std::vector<uint8_t>& lens) {
  uint32_t k = 0;
  for (uint8_t l : lens) {
    if (l) k += 1u << (16 - l);
  }
  return k;
}

TEST(Huffman, LengthsStayWithin16BitsAndComplete) {
  struct Case {
    const char* what;
    std::vector<uint32_t> freq;
  };
  std::vector<uint32_t> fib(30);
  fib[0] = fib[1] = 1;
  for (size_t i = 2; i < fib.size(); ++i) fib[i] = fib[i - 1] + fib[i - 2];
  std::vector<uint32_t> many(510);
  std::mt19937 rng(3);
  for (auto& f : many) f = rng() % 5 == 0 ? 0 : 1 + rng() % 1000;
  std::vector<uint32_t> powers(24);
  for (size_t i = 0; i < powers.size(); ++i) powers[i] = 1u << i;
  const Case cases[] = {
      {"two symbols", {0, 5, 0, 9}},
      {"fibonacci, 29 levels unlimited", fib},
      {"powers of two", powers},
      {"510 random", many},
  };
  for (const Case& c : cases) {
    const int n = static_cast<int>(c.freq.size());
    std::vector<uint8_t> lens(n);
    int single = 0;
    const int used = BuildLengths(c.freq.data(), n, lens.data(), &single);
    EXPECT_EQ(used, std::count_if(c.freq.begin(), c.freq.end(), [](uint32_t f) { return f; }));
    EXPECT_LE(*std::max_element(lens.begin(), lens.end()), 16) << c.what;
    EXPECT_EQ(Kraft(lens), 65536u) << c.what;
    for (int i = 0; i < n; ++i) EXPECT_EQ(lens[i] != 0, c.freq[i] != 0) << c.what << " " << i;

    // Every code decodes back to its symbol.
    std::vector<uint16_t> codes(n);
    MakeCodes(lens.data(), n, codes.data());
    HuffDecoder dec;
    ASSERT_TRUE(dec.Build(lens.data(), n)) << c.what;
    for (int i = 0; i < n; ++i) {
      if (!lens[i]) continue;
      unsigned bits = 0;
      EXPECT_EQ(dec.Decode(static_cast<uint32_t>(codes[i]) << (16 - lens[i]), &bits), i) << c.what;
      EXPECT_EQ(bits, lens[i]);
    }
  }
}

TEST(Huffman, NoneOrOneSymbol) {
  uint32_t none[4] = {};
  uint32_t one[4] = {0, 0, 7, 0};
  uint8_t lens[4];
  int single = 0;
  EXPECT_EQ(BuildLengths(none, 4, lens, &single), 0);
  EXPECT_EQ(BuildLengths(one, 4, lens, &single), 1);
  EXPECT_EQ(single, 2);
  EXPECT_EQ(lens[2], 0);  // a lone symbol is coded with no bits
}

TEST(Huffman, DecoderRefusesOversubscribedLengths) {
  const uint8_t three[] = {1, 1, 1};
  const uint8_t tooLong[] = {1, 17};
  HuffDecoder dec;
  EXPECT_FALSE(dec.Build(three, 3));
  EXPECT_FALSE(dec.Build(tooLong, 2));
  // An incomplete code builds, but its unused patterns do not decode.
  const uint8_t half[] = {1, 0};
  ASSERT_TRUE(dec.Build(half, 2));
  unsigned bits = 0;
  EXPECT_EQ(dec.Decode(0x0000, &bits), 0);
  EXPECT_EQ(dec.Decode(0x8000, &bits), -1);
}

// Data whose literal frequencies halve from byte to byte, so that Huffman
// trees reach their depth limit.
Bytes SkewedBytes(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes out(size);
  for (auto& b : out) {
    int k = 0;
    while (k < 40 && (rng() & 1)) ++k;
    b = static_cast<uint8_t>(k * 37);
  }
  return out;
}

TEST(Lh5Stream, UnusualBlockShapesDecodeHereAndInLhasa) {
  ASSERT_TRUE(HaveLhasa()) << "lhasa's lha is missing: run scripts/install-deps.sh";
  struct Case {
    const char* name;
    Bytes data;
    int blockSymbols;
  };
  const Case cases[] = {
      // One code per block: literal/length and position trees of one symbol.
      {"run1.bin", Bytes(5000, 0), 1},
      {"text1.txt", TextBytes(3000, 1), 1},
      // Two or three codes: two-symbol trees, pre-trees of one symbol.
      {"text2.txt", TextBytes(6000, 2), 2},
      {"text3.txt", TextBytes(6000, 3), 3},
      {"mixed7.bin", MixedBytes(60000, 4), 7},
      // Long runs in big blocks: all-match blocks with one distance.
      {"zeros.bin", Bytes(3000000, 0), 16384},
      // Deep trees: literal frequencies halving byte by byte.
      {"skewed.bin", SkewedBytes(200000, 5), 16384},
      {"skewed-max.bin", SkewedBytes(400000, 6), 65535},
  };
  Bytes archive;
  for (const Case& c : cases) {
    const Bytes packed = EncodeRaw(c.data, c.blockSymbols);
    lha::Result r;
    EXPECT_EQ(Decode(packed, static_cast<uint32_t>(c.data.size()), &r), c.data) << c.name;
    EXPECT_EQ(r, lha::Result::Ok) << c.name;
    AppendMember(&archive, c.name, "-lh5-", c.data, packed);
  }
  archive.push_back(0);
  TempDir dir;
  WriteFile(dir.File("shapes.lzh"), archive);
  const LhasaTest t = RunLhasaTest(dir.File("shapes.lzh"));
  EXPECT_EQ(t.status, 0) << t.output;
  EXPECT_EQ(t.tested, std::size(cases)) << t.output;
  for (const Case& c : cases) {
    EXPECT_NE(t.output.find(std::string(c.name) + "\t- Tested"), std::string::npos)
        << c.name << "\n" << t.output;
  }
}

TEST(Lh5Stream, LargerWindowsOfLh6AndLh7) {
  const Bytes data = MixedBytes(600000, 9);
  for (int dicBits : {15, 16}) {
    const Bytes packed = EncodeRaw(data, 16384, dicBits);
    lha::Result r;
    EXPECT_EQ(Decode(packed, static_cast<uint32_t>(data.size()), &r, dicBits), data) << dicBits;
    EXPECT_EQ(r, lha::Result::Ok);
  }
}

}  // namespace
}  // namespace lhatest
