// The reader on archives of other programs' making (header levels 0 and 1,
// the Unix extension of level 0, unknown methods), copying members into a new archive, and headers whose
// size would end in a zero byte.
#include <gtest/gtest.h>

#include <ctime>

#include "LhaTestSupport.h"
#include "lha_header.h"

namespace lhatest {
namespace {

using lha::detail::Put16;
using lha::detail::Put32;

// 2020-01-02 03:04:06 as an MS-DOS date and time.
constexpr uint32_t kDosTime = (40u << 25) | (1u << 21) | (2u << 16) | (3u << 11) | (4u << 5) | 3u;

uint32_t LocalUnixTime() {
  std::tm tm{};
  tm.tm_year = 120;
  tm.tm_mon = 0;
  tm.tm_mday = 2;
  tm.tm_hour = 3;
  tm.tm_min = 4;
  tm.tm_sec = 6;
  tm.tm_isdst = -1;
  return static_cast<uint32_t>(std::mktime(&tm));
}

// A level-0 or level-1 member with stored data; `ext` (level 1 only) are
// extended headers as type and data.
Bytes OldHeaderMember(int level, const std::string& method, const std::string& name,
                      const Bytes& data, const std::vector<std::pair<uint8_t, std::string>>& ext = {}) {
  Bytes h(22, 0);
  std::copy(method.begin(), method.end(), h.begin() + 2);
  Put32(&h[11], static_cast<uint32_t>(data.size()));
  Put32(&h[15], kDosTime);
  h[19] = 0x21;
  h[20] = static_cast<uint8_t>(level);
  h[21] = static_cast<uint8_t>(name.size());
  h.insert(h.end(), name.begin(), name.end());
  const uint16_t crc = lha::Crc16(data.data(), data.size());
  h.push_back(static_cast<uint8_t>(crc));
  h.push_back(static_cast<uint8_t>(crc >> 8));
  Bytes exts;
  if (level == 1) {
    h.push_back('M');
    h.push_back(0);
    h.push_back(0);
    for (size_t i = 0; i < ext.size(); ++i) {
      const size_t size = 1 + ext[i].second.size() + 2;
      // The size of this one goes into the previous "next size" field.
      if (i == 0) {
        Put16(&h[h.size() - 2], static_cast<uint32_t>(size));
      } else {
        Put16(&exts[exts.size() - 2], static_cast<uint32_t>(size));
      }
      exts.push_back(ext[i].first);
      exts.insert(exts.end(), ext[i].second.begin(), ext[i].second.end());
      exts.push_back(0);
      exts.push_back(0);
    }
  }
  Put32(&h[7], static_cast<uint32_t>(data.size() + exts.size()));
  h[0] = static_cast<uint8_t>(h.size() - 2);
  uint8_t sum = 0;
  for (size_t i = 2; i < h.size(); ++i) sum = static_cast<uint8_t>(sum + h[i]);
  h[1] = sum;
  h.insert(h.end(), exts.begin(), exts.end());
  h.insert(h.end(), data.begin(), data.end());
  return h;
}

TEST(Reader, OlderHeaderLevels) {
  const Bytes a = TextBytes(700, 1), b = TextBytes(900, 2), c = TextBytes(50, 3);
  Bytes archive = OldHeaderMember(0, "-lh0-", "OLD\\LEVEL0.TXT", a);
  const Bytes m1 = OldHeaderMember(1, "-lh0-", "level1.txt", b, {{0x02, "sub\xFFinner\xFF"}, {0x99, "?"}});
  archive.insert(archive.end(), m1.begin(), m1.end());
  const Bytes m2 = OldHeaderMember(1, "-lz4-", "", c, {{0x01, "renamed.txt"}, {0x54, std::string("\x10\0\0\0", 4)}});
  archive.insert(archive.end(), m2.begin(), m2.end());
  archive.push_back(0);

  std::vector<ReadMember> read;
  EXPECT_EQ(ReadArchive(archive, &read), lha::Result::End);
  ASSERT_EQ(read.size(), 3u);
  EXPECT_EQ(read[0].header.name, "OLD\\LEVEL0.TXT");
  EXPECT_EQ(read[0].header.level, 0);
  EXPECT_EQ(read[0].header.unixTime, LocalUnixTime());
  EXPECT_EQ(read[0].header.dosAttributes, 0x21);
  EXPECT_EQ(read[1].header.name, "sub\\inner\\level1.txt");
  EXPECT_EQ(read[1].header.level, 1);
  EXPECT_EQ(read[1].header.osId, 'M');
  EXPECT_EQ(read[1].header.compressedSize, b.size());  // extended headers not counted
  EXPECT_EQ(read[2].header.name, "renamed.txt");
  EXPECT_EQ(read[2].header.unixTime, 16u);
  const Bytes* expected[] = {&a, &b, &c};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(read[i].extract, lha::Result::Ok) << i;
    EXPECT_TRUE(read[i].data == *expected[i]) << i;
  }

  // A wrong header checksum is damage.
  archive[1] ^= 0xFF;
  EXPECT_EQ(ReadArchive(archive, &read), lha::Result::Corrupt);
}

TEST(Reader, UnknownMethodsAndLevels) {
  Bytes archive = OldHeaderMember(1, "-lh2-", "old.txt", TextBytes(10, 1));
  Bytes level4 = OldHeaderMember(0, "-lh0-", "x", {});
  level4[20] = 4;
  archive.insert(archive.end(), level4.begin(), level4.end());
  std::vector<ReadMember> read;
  EXPECT_EQ(ReadArchive(archive, &read), lha::Result::Corrupt);
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].header.method, "-lh2-");
  EXPECT_EQ(read[0].extract, lha::Result::Unsupported);
  for (const char* method : {"-lh2-", "-lh3-", "-pm1-", "-pm2-", "-lh8-"}) {
    EXPECT_FALSE(lha::LhaReader::CanDecode(method)) << method;
  }
}

// Updating an archive: members of the old one are copied as they stand,
// new ones are added.
TEST(Reader, CopiedMembersMakeAValidArchive) {
  ASSERT_TRUE(HaveLhasa()) << "lhasa's lha is missing: run scripts/install-deps.sh";
  const std::vector<Member> old = {{{"keep.txt", false, 10, 0x20}, TextBytes(50000, 1)},
                                   {{"replace.txt", false, 11, 0x20}, TextBytes(900, 2)},
                                   {{"dir", true, 12, 0x10}, {}},
                                   {{"noise.bin", false, 13, 0x20}, RandomBytes(2000, 3)}};
  TempDir dir;
  WriteArchive(dir.File("old.lzh"), old);
  const Bytes oldBytes = ReadFile(dir.File("old.lzh"));
  const Bytes fresh = TextBytes(1200, 4);

  Bytes updated;
  {
    lha::MemorySource source(oldBytes);
    lha::LhaReader reader(source);
    lha::VectorSink sink(updated);
    lha::LhaWriter writer(sink);
    lha::MemberHeader h;
    while (reader.Next(&h) == lha::Result::Ok) {
      if (h.name == "replace.txt") {
        EXPECT_EQ(writer.AddMember({"replace.txt", false, 20, 0x20}, fresh), lha::Result::Ok);
      } else {
        EXPECT_EQ(writer.CopyMember(reader, h), lha::Result::Ok) << h.name;
      }
    }
    EXPECT_EQ(writer.Finish(), lha::Result::Ok);
  }
  std::vector<ReadMember> read;
  EXPECT_EQ(ReadArchive(updated, &read), lha::Result::End);
  ASSERT_EQ(read.size(), old.size());
  for (size_t i = 0; i < old.size(); ++i) {
    EXPECT_EQ(read[i].header.name, old[i].info.name);
    EXPECT_EQ(read[i].extract, lha::Result::Ok);
    EXPECT_TRUE(read[i].data == (i == 1 ? fresh : old[i].data)) << i;
  }
  EXPECT_EQ(read[1].header.unixTime, 20u);
  WriteFile(dir.File("new.lzh"), updated);
  const LhasaTest t = RunLhasaTest(dir.File("new.lzh"));
  EXPECT_EQ(t.status, 0) << t.output;
  EXPECT_EQ(t.tested, 3u) << t.output;
}

// A level-2 header whose size ends in a zero byte would read as the end
// mark; the writer lengthens such headers. Names of 213 to 221 bytes bring
// the header size across 256.
TEST(Reader, HeaderSizesNeverLookLikeTheEndMark) {
  ASSERT_TRUE(HaveLhasa()) << "lhasa's lha is missing: run scripts/install-deps.sh";
  std::vector<Member> members;
  for (size_t len = 213; len <= 221; ++len) {
    members.push_back({{std::string(len, 'a' + static_cast<char>(len % 26)), false, 0, 0x20},
                       TextBytes(len, static_cast<uint32_t>(len))});
  }
  TempDir dir;
  WriteArchive(dir.File("sizes.lzh"), members);
  const Bytes archive = ReadFile(dir.File("sizes.lzh"));
  std::vector<ReadMember> read;
  EXPECT_EQ(ReadArchive(archive, &read), lha::Result::End);
  ASSERT_EQ(read.size(), members.size());
  for (size_t i = 0; i < members.size(); ++i) {
    EXPECT_EQ(archive[read[i].header.headerOffset] == 0, false) << i;
    EXPECT_EQ(read[i].header.name, members[i].info.name);
    EXPECT_TRUE(read[i].data == members[i].data) << i;
  }
  const LhasaTest t = RunLhasaTest(dir.File("sizes.lzh"));
  EXPECT_EQ(t.status, 0) << t.output;
  EXPECT_EQ(t.tested, members.size()) << t.output;
}

}  // namespace
}  // namespace lhatest
