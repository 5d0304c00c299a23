// Members of 4 GiB and more: level-2 headers carry their sizes in extended
// header 0x42, chosen from the size a member is expected to have, since the
// header is written before the data; writers held to 32-bit sizes refuse
// such members before writing anything.
#include <gtest/gtest.h>

#include "LhaTestSupport.h"
#include "lha_header.h"

namespace lhatest {
namespace {

constexpr uint64_t kHuge = 4'600'000'123;  // over 4 GiB
constexpr size_t kSizes64Ext = 19;         // type, 16 bytes of sizes, next size

lha::MemberHeader ReadHeader(const Bytes& header) {
  lha::MemorySource source(header);
  lha::LhaReader reader(source);
  lha::MemberHeader m;
  EXPECT_EQ(reader.Next(&m), lha::Result::Ok);
  return m;
}

TEST(Sizes64, HeaderCarriesSizesOver32BitsAndKeepsItsLength) {
  lha::detail::Level2Fields f;
  f.parts = {"dir", "huge.bin"};
  std::copy_n("-lh5-", 5, f.method);
  f.sizes64 = true;
  const Bytes placeholder = lha::detail::BuildLevel2Header(f);
  f.originalSize = kHuge;
  f.compressedSize = kHuge - 4'400'000'000;  // under 4 GiB, still in the same record
  const Bytes header = lha::detail::BuildLevel2Header(f);
  ASSERT_FALSE(header.empty());
  EXPECT_EQ(header.size(), placeholder.size());
  const lha::MemberHeader m = ReadHeader(header);
  EXPECT_EQ(m.originalSize, kHuge);
  EXPECT_EQ(m.compressedSize, kHuge - 4'400'000'000);
  EXPECT_EQ(m.name, "dir\\huge.bin");
  // The 32-bit fields hold the low 32 bits.
  EXPECT_EQ(lha::detail::Get32(&header[11]), static_cast<uint32_t>(kHuge));

  f.sizes64 = false;
  EXPECT_TRUE(lha::detail::BuildLevel2Header(f).empty()) << "32-bit fields cannot hold the size";
}

// The writer picks the 0x42 header from the expected size; a member that
// then comes out small is still sound for us and for lhasa.
TEST(Sizes64, WriterChoosesTheHeaderFromTheExpectedSize) {
  ASSERT_TRUE(HaveLhasa()) << "lhasa's lha is missing: run scripts/install-deps.sh";
  struct Case {
    const char* name;
    uint64_t expected;
    bool sizes64;
  };
  const Case cases[] = {
      {"small.txt", 0, false},
      {"just-under.txt", 0xEFFFFFFFu, false},
      {"near-4gib.txt", 0xF0000000u, true},
      {"huge.txt", kHuge, true},
  };
  const Bytes text = TextBytes(200000, 7);
  for (const bool store : {false, true}) {
    SCOPED_TRACE(store ? "stored" : "compressed");
    TempDir dir;
    std::vector<Member> members;
    for (const Case& c : cases) {
      Member m{{c.name, false, 1700000000, 0x20}, text};
      m.info.expectedSize = c.expected;
      members.push_back(m);
    }
    lha::WriterOptions options;
    options.storeOnly = store;
    const std::string path = dir.File("a.lzh");
    WriteArchive(path, members, options);
    std::vector<ReadMember> read;
    EXPECT_EQ(ReadArchive(ReadFile(path), &read), lha::Result::End);
    ASSERT_EQ(read.size(), std::size(cases));
    // The header's length without its name: only the 0x42 header makes
    // one longer than the first.
    auto rest = [&](size_t i) {
      const lha::MemberHeader& h = read[i].header;
      return h.dataOffset - h.headerOffset - h.name.size();
    };
    for (size_t i = 0; i < read.size(); ++i) {
      SCOPED_TRACE(cases[i].name);
      const lha::MemberHeader& h = read[i].header;
      EXPECT_EQ(rest(i), rest(0) + (cases[i].sizes64 ? kSizes64Ext : 0));
      EXPECT_EQ(h.originalSize, text.size());
      EXPECT_EQ(read[i].extract, lha::Result::Ok);
      EXPECT_TRUE(read[i].data == text);
    }
    const LhasaTest t = RunLhasaTest(path);
    EXPECT_EQ(t.status, 0) << t.output;
    EXPECT_EQ(t.tested, std::size(cases)) << t.output;
  }
}

// Held to 32-bit sizes (header levels 0 and 1), a member expected at 4 GiB
// or more is refused before a byte of it is written, and the writer goes on.
TEST(Sizes64, WriterWithout64BitSizesRefusesHugeMembersAtOnce) {
  Bytes archive;
  lha::VectorSink sink(archive);
  lha::WriterOptions options;
  options.sizes64 = false;
  lha::LhaWriter writer(sink, options);
  const Bytes text = TextBytes(1000, 3);
  lha::MemberInfo huge{"huge.bin", false, 0, 0x20};
  huge.expectedSize = uint64_t{1} << 32;
  EXPECT_EQ(writer.AddMember(huge, text), lha::Result::TooLarge);
  EXPECT_TRUE(archive.empty());
  huge.expectedSize = UINT32_MAX;  // fits 32 bits
  EXPECT_EQ(writer.AddMember(huge, text), lha::Result::Ok);
  EXPECT_EQ(writer.Finish(), lha::Result::Ok);
  std::vector<ReadMember> read;
  EXPECT_EQ(ReadArchive(archive, &read), lha::Result::End);
  ASSERT_EQ(read.size(), 1u);
  EXPECT_TRUE(read[0].data == text);
  EXPECT_EQ(read[0].header.dataOffset - read[0].header.headerOffset,
            lha::detail::BuildLevel2Header([] {
              lha::detail::Level2Fields f;
              f.parts = {"huge.bin"};
              return f;
            }()).size());
}

}  // namespace
}  // namespace lhatest
