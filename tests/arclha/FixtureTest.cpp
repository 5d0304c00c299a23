// The reader on archives other programs made (the shared fixtures): old
// methods, header levels 0 to 3 and their quirks, self-extracting programs,
// Unix links, 64-bit sizes. Extracted bytes are compared with what lhasa's
// `lha x` writes from the same archive, never with our own writer.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "LhaTestSupport.h"

namespace lhatest {
namespace {

namespace fs = std::filesystem;

const std::string kFixtures = std::string(VX_FIXTURES_DIR) + "/lha/";

#define REQUIRE_FIXTURES()                                                          \
  if (!fs::is_directory(kFixtures)) GTEST_SKIP() << "no fixtures at " << kFixtures; \
  ASSERT_TRUE(HaveLhasa()) << "lhasa's lha is missing: run scripts/install-deps.sh"

// Every member of an archive (found where it starts), data included.
lha::Result ReadFixture(const Bytes& archive, std::vector<ReadMember>* members) {
  lha::MemorySource source(archive);
  uint64_t start = 0;
  if (!lha::LhaReader::FindStart(source, archive.size(), &start)) return lha::Result::Corrupt;
  lha::LhaReader reader(source, start);
  members->clear();
  for (;;) {
    ReadMember m;
    const lha::Result r = reader.Next(&m.header);
    if (r != lha::Result::Ok) return r;
    m.extract = reader.Extract(m.header, &m.data);
    members->push_back(std::move(m));
  }
}

// lhasa's extraction into a fresh folder: relative path -> bytes and time.
struct Reference {
  std::map<std::string, Bytes> files;
  std::map<std::string, time_t> times;
};
Reference LhasaExtract(const std::string& archive, const TempDir& dir) {
  const CommandResult r = RunCommand("cd " + Quote(dir.Path()) + " && lha xq " + Quote(archive));
  EXPECT_EQ(r.status, 0) << archive << "\n" << r.output;
  Reference ref;
  for (const auto& e : fs::recursive_directory_iterator(dir.Path())) {
    if (!e.is_regular_file() || e.is_symlink()) continue;
    const std::string rel = fs::relative(e.path(), dir.Path()).string();
    ref.files[rel] = ReadFile(e.path().string());
    struct stat st;
    if (stat(e.path().c_str(), &st) == 0) ref.times[rel] = st.st_mtime;
  }
  return ref;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Sets TZ for the test's life; MS-DOS times are local, Unix times are not.
class ZoneGuard {
 public:
  explicit ZoneGuard(const char* zone) {
    if (const char* old = std::getenv("TZ")) old_ = old;
    had_ = std::getenv("TZ") != nullptr;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ZoneGuard() {
    if (had_) {
      setenv("TZ", old_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  std::string old_;
  bool had_ = false;
};

struct DecodeCase {
  const char* file;
  const char* method;
  int level;
  bool timed = true;  // false: the header holds no time
};

// One member, decoded exactly as lhasa does, with its time.
TEST(Fixtures, OldMethodsHeaderFormsAndProgramsMatchLhasa) {
  REQUIRE_FIXTURES();
  // A zone far from UTC: a header time taken the wrong way shows.
  const ZoneGuard zone("JST-9");
  const DecodeCase cases[] = {
      {"lh1.lzh", "-lh1-", 0},          {"lzs.lzs", "-lzs-", 0},
      {"lz5.lzs", "-lz5-", 0},          {"pm0.pma", "-pm0-", 0, false},
      {"lhx-h2.lzh", "-lhx-", 2},       {"level3-lh5.lzh", "-lh5-", 3},
      {"level2-short-header-size.lzh", "-lh5-", 2},
      {"level0-unix-time.lzh", "-lh5-", 0},
      {"sfx-dos.exe", "-lh5-", 0},      {"sfx-win32.exe", "-lh5-", 2},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.file);
    TempDir dir;
    const Reference ref = LhasaExtract(kFixtures + c.file, dir);
    ASSERT_EQ(ref.files.size(), 1u);
    std::vector<ReadMember> read;
    EXPECT_EQ(ReadFixture(ReadFile(kFixtures + c.file), &read), lha::Result::End);
    ASSERT_EQ(read.size(), 1u);
    const ReadMember& m = read[0];
    EXPECT_EQ(m.header.method, c.method);
    EXPECT_EQ(m.header.level, c.level);
    EXPECT_EQ(m.extract, lha::Result::Ok);
    const auto& [refName, refData] = *ref.files.begin();
    EXPECT_EQ(Lower(m.header.name), Lower(refName));
    EXPECT_EQ(m.header.originalSize, refData.size());
    EXPECT_TRUE(m.data == refData);
    // lhasa takes a time without zone (MS-DOS) as local time too.
    if (c.timed) {
      EXPECT_EQ(static_cast<time_t>(m.header.unixTime), ref.times.at(refName));
    } else {
      EXPECT_EQ(m.header.unixTime, 0u);
    }
  }
}

TEST(Fixtures, LevelZeroUnixExtensionGivesTheUtcTime) {
  REQUIRE_FIXTURES();
  const ZoneGuard zone("JST-9");
  std::vector<ReadMember> read;
  ReadFixture(ReadFile(kFixtures + "level0-unix-time.lzh"), &read);
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].header.unixTime, 1262304000u);  // 2010-01-01 00:00:00 UTC
  EXPECT_EQ(read[0].header.osId, 'U');
  EXPECT_EQ(read[0].header.unixMode & 0777, 0444);
}

// Methods without a public description we could decode from are refused
// by name; the listing still shows them.
TEST(Fixtures, UndocumentedMethodsAreRefusedNotGuessed) {
  REQUIRE_FIXTURES();
  const DecodeCase cases[] = {
      {"lh2.lzh", "-lh2-", 2}, {"lh3.lzh", "-lh3-", 2}, {"pm1.pma", "-pm1-", 0}, {"pm2.pma", "-pm2-", 0}};
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.file);
    std::vector<ReadMember> read;
    EXPECT_EQ(ReadFixture(ReadFile(kFixtures + c.file), &read), lha::Result::End);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].header.method, c.method);
    EXPECT_EQ(read[0].extract, lha::Result::Unsupported);
    EXPECT_TRUE(read[0].data.empty());
    EXPECT_FALSE(lha::LhaReader::CanDecode(c.method));
  }
}

TEST(Fixtures, UnixLinksAreFlaggedWithTheirTargets) {
  REQUIRE_FIXTURES();
  std::vector<ReadMember> read;
  EXPECT_EQ(ReadFixture(ReadFile(kFixtures + "unix-symlink-h1.lzh"), &read), lha::Result::End);
  ASSERT_EQ(read.size(), 1u);
  EXPECT_TRUE(read[0].header.symlink);
  EXPECT_FALSE(read[0].header.directory);
  EXPECT_EQ(read[0].header.name, "symlink");
  EXPECT_EQ(read[0].header.linkTarget, "target");

  TempDir dir;
  const Reference ref = LhasaExtract(kFixtures + "unix-symlink-h2.lzh", dir);
  EXPECT_EQ(ReadFixture(ReadFile(kFixtures + "unix-symlink-h2.lzh"), &read), lha::Result::End);
  std::map<std::string, std::string> links;
  std::vector<std::string> dirs;
  std::map<std::string, Bytes> files;
  for (const ReadMember& m : read) {
    EXPECT_EQ(m.extract, lha::Result::Ok) << m.header.name;
    EXPECT_EQ(m.header.name.find('|'), std::string::npos) << m.header.name;
    if (m.header.symlink) links[m.header.name] = m.header.linkTarget;
    if (m.header.directory) dirs.push_back(m.header.name);
    if (!m.header.symlink && !m.header.directory) files[m.header.name] = m.data;
  }
  EXPECT_EQ(links, (std::map<std::string, std::string>{{"dir2\\symlink1", "../file1"}, {"dir2\\symlink2", "../file2"}}));
  EXPECT_EQ(dirs, (std::vector<std::string>{"dir", "dir2"}));
  EXPECT_EQ(files, ref.files);
}

TEST(Fixtures, SizesOver4GiBComeFromTheExtendedHeader) {
  REQUIRE_FIXTURES();
  const Bytes archive = ReadFile(kFixtures + "member-over-4gib.lzh");
  lha::MemorySource source(archive);
  lha::LhaReader reader(source);
  lha::MemberHeader m;
  ASSERT_EQ(reader.Next(&m), lha::Result::Ok);
  EXPECT_EQ(m.name, "zero.bin");
  EXPECT_EQ(m.originalSize, 4718592000u);
  EXPECT_EQ(m.compressedSize, 23891u);
  EXPECT_EQ(m.dataOffset + m.compressedSize + 1, archive.size());  // then the end mark
  EXPECT_EQ(reader.Next(&m), lha::Result::End);
}

// Damaged and cut-short data of every newly read method: never a success
// over wrong bytes, and (under the sanitizers) never a fault.
TEST(Fixtures, DamagedOldMethodsNeverPassAsSound) {
  REQUIRE_FIXTURES();
  for (const char* file : {"lh1.lzh", "lzs.lzs", "lz5.lzs", "pm0.pma", "lhx-h2.lzh", "level3-lh5.lzh"}) {
    SCOPED_TRACE(file);
    const Bytes good = ReadFile(kFixtures + file);
    std::vector<ReadMember> read;
    ReadFixture(good, &read);
    ASSERT_EQ(read.size(), 1u);
    const lha::MemberHeader h = read[0].header;
    const Bytes expected = read[0].data;
    ASSERT_EQ(read[0].extract, lha::Result::Ok);
    // Cut short: the data ends before its stated size.
    for (uint64_t keep : {h.dataOffset, h.dataOffset + 1, h.dataOffset + h.compressedSize / 2,
                          h.dataOffset + h.compressedSize - 1}) {
      const Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(keep));
      ReadFixture(cut, &read);
      ASSERT_EQ(read.size(), 1u) << keep;
      EXPECT_NE(read[0].extract, lha::Result::Ok) << keep;
    }
    // Flipped bytes all over the data.
    for (uint64_t at = h.dataOffset; at < h.dataOffset + h.compressedSize; at += 97) {
      Bytes bad = good;
      bad[at] ^= 0x5A;
      ReadFixture(bad, &read);
      ASSERT_EQ(read.size(), 1u) << at;
      if (read[0].extract == lha::Result::Ok) {
        EXPECT_TRUE(read[0].data == expected) << at;
      }
    }
  }
}

// Every header byte of every header form changed: the reader answers
// with a result (under the sanitizers: without a fault), and what it calls
// sound has its stated size.
TEST(Fixtures, DamagedHeadersNeverFault) {
  REQUIRE_FIXTURES();
  for (const char* file : {"lh1.lzh", "lzs.lzs", "pm0.pma", "lhx-h2.lzh", "level3-lh5.lzh",
                           "level2-short-header-size.lzh", "level0-unix-time.lzh", "sfx-win32.exe",
                           "unix-symlink-h1.lzh", "unix-symlink-h2.lzh", "member-over-4gib.lzh"}) {
    SCOPED_TRACE(file);
    const Bytes good = ReadFile(kFixtures + file);
    lha::MemorySource source(good);
    uint64_t start = 0;
    ASSERT_TRUE(lha::LhaReader::FindStart(source, good.size(), &start));
    lha::LhaReader reader(source, start);
    lha::MemberHeader h;
    ASSERT_EQ(reader.Next(&h), lha::Result::Ok);
    for (uint64_t at = start; at < h.dataOffset; ++at) {
      for (uint8_t x : {0x01, 0x80, 0xFF}) {
        Bytes bad = good;
        bad[at] ^= x;
        lha::MemorySource badSource(bad);
        lha::LhaReader badReader(badSource, start);
        lha::MemberHeader m;
        for (int n = 0; n < 8 && badReader.Next(&m) == lha::Result::Ok; ++n) {
          // The 4 GiB member is not decoded: its size is what matters.
          if (m.originalSize > (1u << 20)) continue;
          uint64_t size = 0;
          const lha::Result r = badReader.Extract(m, [&](const uint8_t*, size_t k) {
            size += k;
            return true;
          });
          if (r == lha::Result::Ok && !m.directory && !m.symlink) {
            EXPECT_EQ(size, m.originalSize) << at;
          }
        }
      }
    }
  }
}

TEST(Fixtures, ProgramsAreSearchedOtherDataIsNot) {
  REQUIRE_FIXTURES();
  uint64_t start = 0;
  const Bytes sfx = ReadFile(kFixtures + "sfx-win32.exe");
  lha::MemorySource program(sfx);
  ASSERT_TRUE(lha::LhaReader::FindStart(program, sfx.size(), &start));
  EXPECT_GT(start, 0u);
  // Below the limit the archive is not found.
  EXPECT_FALSE(lha::LhaReader::FindStart(program, start, &start));
  // An archive behind a damaged first header, or behind data that is no
  // program, is not looked for.
  Bytes other(sfx.begin(), sfx.end());
  other[0] = 'X';
  lha::MemorySource notProgram(other);
  EXPECT_FALSE(lha::LhaReader::FindStart(notProgram, other.size(), &start));
}

}  // namespace
}  // namespace lhatest
