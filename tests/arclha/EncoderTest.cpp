// The -lh5-, -lh6- and -lh7- encoder on the sizes and shapes where its
// parse and its buffers turn: window edges, chunk and Huffman block
// boundaries, matches of the longest length, runs, incompressible data.
// Every stream is decoded by our decoder and, wrapped in an archive, by
// lhasa and 7-Zip, each of which must give back the very bytes.
#include <gtest/gtest.h>

#include <filesystem>

#include "LhaTestSupport.h"

namespace lhatest {
namespace {

using lha::detail::Lh5Params;

struct EncodeCase {
  std::string name;
  Bytes data;
  Lh5Params params;
};

Bytes Concat(const Bytes& a, const Bytes& b) {
  Bytes out = a;
  out.insert(out.end(), b.begin(), b.end());
  return out;
}

Bytes Repeat(const Bytes& block, size_t times) {
  Bytes out;
  for (size_t i = 0; i < times; ++i) out.insert(out.end(), block.begin(), block.end());
  return out;
}

// Cases for one window size. The data that only a match at distance d
// shrinks is a random block of d bytes written twice.
std::vector<EncodeCase> Cases(int dicBits) {
  const size_t window = size_t{1} << dicBits;
  std::vector<EncodeCase> v;
  for (size_t size : {window - 1, window, window + 1}) {
    const std::string n = std::to_string(size);
    v.push_back({"text" + n + ".txt", TextBytes(size, static_cast<uint32_t>(size)), {}});
    const Bytes r = RandomBytes(size, static_cast<uint32_t>(size) + 1);
    v.push_back({"twice" + n + ".bin", Concat(r, r), {}});
  }
  v.push_back({"mixed.bin", MixedBytes(300000, 40), {}});
  if (dicBits != 13) return v;

  v.push_back({"empty.txt", {}, {}});
  v.push_back({"one.txt", {'x'}, {}});
  v.push_back({"three.txt", {'a', 'a', 'a'}, {}});
  // Chunk boundaries: the parse of a chunk stops at its end, the last
  // chunk is short.
  const Lh5Params defaults;
  const size_t chunk = static_cast<size_t>(defaults.chunkBytes);
  for (size_t size : {chunk - 1, chunk, chunk + 1, chunk + 256, 2 * chunk + 1}) {
    v.push_back({"chunk" + std::to_string(size) + ".txt", TextBytes(size, static_cast<uint32_t>(size)), {}});
  }
  // Huffman blocks of exactly, one under and one over blockSymbols codes:
  // random bytes give one literal code each.
  Lh5Params small;
  small.blockSymbols = 1000;
  for (size_t size : {999, 1000, 1001, 2000}) {
    v.push_back({"block" + std::to_string(size) + ".bin", RandomBytes(size, static_cast<uint32_t>(size)), small});
  }
  v.push_back({"blocktext.txt", TextBytes(100000, 41), small});
  v.push_back({"random.bin", RandomBytes(100000, 42), {}});
  // Runs: 256-byte matches at distance 1, with 0, 1 or 2 bytes left over.
  v.push_back({"zeros.bin", Bytes(3000000, 0), {}});
  v.push_back({"zeros769.bin", Bytes(3 * 256 + 1, 0), {}});
  v.push_back({"zeros770.bin", Bytes(3 * 256 + 2, 0), {}});
  // Longest matches that are no runs: a random block over and over.
  v.push_back({"repeat.bin", Repeat(RandomBytes(300, 43), 40), {}});
  v.push_back({"text.txt", TextBytes(400000, 44), {}});
  return v;
}

TEST(Lh5Encoder, StreamsDecodeHereInLhasaAnd7zz) {
  ASSERT_TRUE(HaveLhasa()) << "lhasa's lha is missing: run scripts/install-deps.sh";
  ASSERT_TRUE(Have7zz()) << "7zz is missing: run scripts/install-deps.sh";
  for (int dicBits : {13, 15, 16}) {
    const char* method = MethodOf(dicBits);
    SCOPED_TRACE(method);
    const std::vector<EncodeCase> cases = Cases(dicBits);
    Bytes archive;
    for (const EncodeCase& c : cases) {
      const Bytes packed = EncodeRaw(c.data, c.params, dicBits);
      lha::Result r;
      EXPECT_TRUE(Decode(packed, static_cast<uint32_t>(c.data.size()), &r, dicBits) == c.data) << c.name;
      EXPECT_EQ(r, lha::Result::Ok) << c.name;
      AppendMember(&archive, c.name, method, c.data, packed);
    }
    archive.push_back(0);
    TempDir dir;
    const std::string path = dir.File("enc.lzh");
    WriteFile(path, archive);

    // Our reader, through the archive's headers.
    std::vector<ReadMember> read;
    EXPECT_EQ(ReadArchive(archive, &read), lha::Result::End);
    ASSERT_EQ(read.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
      EXPECT_EQ(read[i].extract, lha::Result::Ok) << cases[i].name;
      EXPECT_TRUE(read[i].data == cases[i].data) << cases[i].name;
    }

    const LhasaTest t = RunLhasaTest(path);
    EXPECT_EQ(t.status, 0) << t.output;
    EXPECT_EQ(t.tested, cases.size()) << t.output;
    const std::string byLhasa = dir.File("lhasa"), by7zz = dir.File("7zz");
    std::filesystem::create_directory(byLhasa);
    const CommandResult x = RunCommand("lha xw=" + Quote(byLhasa) + " " + Quote(path));
    EXPECT_EQ(x.status, 0) << x.output;
    const CommandResult z = RunCommand("7zz x -y -o" + Quote(by7zz) + " " + Quote(path));
    EXPECT_EQ(z.status, 0) << z.output;
    for (const EncodeCase& c : cases) {
      EXPECT_TRUE(ReadFile(byLhasa + "/" + c.name) == c.data) << "lhasa: " << c.name;
      EXPECT_TRUE(ReadFile(by7zz + "/" + c.name) == c.data) << "7zz: " << c.name;
    }
  }
}

// The stream depends on the data alone: not on how it is cut into pieces
// (across the buffer's slides too), nor on what the encoder coded before a
// Reset.
TEST(Lh5Encoder, SameStreamWhateverThePiecesAndAfterReset) {
  const Bytes data = MixedBytes(1500000, 50);
  const Bytes other = TextBytes(70000, 51);
  for (int dicBits : {13, 16}) {
    SCOPED_TRACE(dicBits);
    const Bytes whole = EncodeRaw(data, Lh5Params{}, dicBits, data.size());
    EXPECT_TRUE(EncodeRaw(data, Lh5Params{}, dicBits, 1) == whole);
    EXPECT_TRUE(EncodeRaw(data, Lh5Params{}, dicBits) == whole);

    lha::detail::Lh5Encoder enc(Lh5Params{}, dicBits);
    enc.Write(other.data(), other.size());
    enc.Finish();
    enc.Reset();
    EXPECT_EQ(enc.Consumed(), 0u);
    enc.Write(data.data(), data.size());
    enc.Finish();
    EXPECT_EQ(enc.Consumed(), data.size());
    EXPECT_TRUE(enc.Out().Bytes() == whole);
  }
}

}  // namespace
}  // namespace lhatest
