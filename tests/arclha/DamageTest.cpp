// Damaged archives and failing files: the reader stops with an error and
// never hands out wrong data as good; the writer reports the failure and
// refuses to go on.
#include <gtest/gtest.h>

#include <random>

#include "LhaTestSupport.h"

namespace lhatest {
namespace {

// An archive of a compressed member, a stored one and a directory.
struct Sample {
  std::vector<Member> members;
  Bytes archive;
};

Sample MakeSample() {
  Sample s;
  s.members = {{{"dir\\text.txt", false, 1, 0x20}, MixedBytes(120000, 21)},
               {{"noise.bin", false, 2, 0x20}, RandomBytes(3000, 22)},
               {{"dir", true, 3, 0x10}, {}}};
  lha::VectorSink sink(s.archive);
  lha::LhaWriter writer(sink);
  for (const Member& m : s.members) EXPECT_EQ(writer.AddMember(m.info, m.data), lha::Result::Ok);
  EXPECT_EQ(writer.Finish(), lha::Result::Ok);
  return s;
}

// Reads all it can; a member whose extraction succeeds must be intact.
void ExpectNoBadDataPassesAsGood(const Bytes& archive, const Sample& s, const std::string& what) {
  std::vector<ReadMember> read;
  ReadArchive(archive, &read);
  for (size_t i = 0; i < std::min(read.size(), s.members.size()); ++i) {
    if (read[i].extract == lha::Result::Ok && read[i].header.name == s.members[i].info.name) {
      EXPECT_TRUE(read[i].data == s.members[i].data) << what << " member " << i;
    }
  }
}

TEST(Damage, TruncatedArchives) {
  const Sample s = MakeSample();
  std::vector<ReadMember> whole;
  ASSERT_EQ(ReadArchive(s.archive, &whole), lha::Result::End);
  for (size_t cut = 0; cut < s.archive.size(); cut += 1 + cut / 50) {
    const Bytes part(s.archive.begin(), s.archive.begin() + static_cast<std::ptrdiff_t>(cut));
    std::vector<ReadMember> read;
    const lha::Result r = ReadArchive(part, &read);
    EXPECT_TRUE(r == lha::Result::End || r == lha::Result::Corrupt) << cut;
    ExpectNoBadDataPassesAsGood(part, s, "cut at " + std::to_string(cut));
    // A member cut inside its data is listed but does not extract.
    for (const ReadMember& m : read) {
      if (m.header.dataOffset + m.header.compressedSize > cut && !m.header.directory) {
        EXPECT_NE(m.extract, lha::Result::Ok) << cut;
      }
    }
  }
}

// The header CRC covers the whole level-2 header. A flip of the CRC
// header's own type byte hides it (headers without one are valid), but the
// member read then is still the one written.
TEST(Damage, EveryHeaderByteIsGuarded) {
  const Sample s = MakeSample();
  std::vector<ReadMember> whole;
  ASSERT_EQ(ReadArchive(s.archive, &whole), lha::Result::End);
  const lha::MemberHeader& good = whole[0].header;
  int accepted = 0;
  for (size_t i = 0; i < good.dataOffset; ++i) {
    Bytes bad = s.archive;
    bad[i] ^= 0x01;
    lha::MemorySource source(bad);
    lha::LhaReader reader(source);
    lha::MemberHeader h;
    if (reader.Next(&h) != lha::Result::Ok) continue;
    ++accepted;
    EXPECT_EQ(h.name, good.name) << "byte " << i;
    EXPECT_EQ(h.method, good.method) << "byte " << i;
    EXPECT_EQ(h.originalSize, good.originalSize) << "byte " << i;
    EXPECT_EQ(h.crc16, good.crc16) << "byte " << i;
    EXPECT_EQ(h.unixTime, good.unixTime) << "byte " << i;
    EXPECT_EQ(h.dosAttributes, good.dosAttributes) << "byte " << i;
  }
  EXPECT_LE(accepted, 1);
}

TEST(Damage, ChangedDataFailsTheCheck) {
  const Sample s = MakeSample();
  std::vector<ReadMember> whole;
  ASSERT_EQ(ReadArchive(s.archive, &whole), lha::Result::End);
  std::mt19937 rng(5);
  for (size_t m = 0; m < 2; ++m) {
    const lha::MemberHeader& h = whole[m].header;
    for (int k = 0; k < 60; ++k) {
      Bytes bad = s.archive;
      const size_t at = h.dataOffset + rng() % h.compressedSize;
      bad[at] ^= static_cast<uint8_t>(1 + rng() % 255);
      lha::MemorySource source(bad);
      lha::LhaReader reader(source);
      Bytes data;
      const lha::Result r = reader.Extract(h, &data);
      EXPECT_TRUE(r == lha::Result::CrcMismatch || r == lha::Result::Corrupt)
          << "member " << m << " byte " << at << " gave " << lha::ResultText(r);
    }
  }
}

TEST(Damage, RandomMutationsNeverCrashOrHang) {
  const Sample s = MakeSample();
  std::mt19937 rng(6);
  for (int k = 0; k < 400; ++k) {
    Bytes bad = s.archive;
    const int flips = 1 + static_cast<int>(rng() % 8);
    for (int f = 0; f < flips; ++f) {
      // Headers are small: aim half the damage at the first few hundred bytes.
      const size_t span = (rng() & 1) ? std::min<size_t>(bad.size(), 400) : bad.size();
      bad[rng() % span] = static_cast<uint8_t>(rng());
    }
    ExpectNoBadDataPassesAsGood(bad, s, "mutation " + std::to_string(k));
  }
}

// A sink that takes `limit` bytes, then fails; seeks fail when asked to.
class FailingSink : public lha::ByteSink {
 public:
  FailingSink(size_t limit, bool seekFails) : limit_(limit), seekFails_(seekFails) {}
  bool Write(const uint8_t*, size_t size) override {
    if (written_ + size > limit_) return false;
    written_ += size;
    return true;
  }
  bool Seek(uint64_t) override { return !seekFails_; }

 private:
  size_t limit_, written_ = 0;
  bool seekFails_;
};

// A source that gives `good` bytes of text, then fails.
class FailingSource : public lha::ByteSource {
 public:
  explicit FailingSource(size_t good) : data_(TextBytes(good, 1)) {}
  std::ptrdiff_t Read(uint8_t* out, size_t size) override {
    if (pos_ == data_.size()) return -1;
    const size_t n = std::min(size, data_.size() - pos_);
    std::copy_n(data_.data() + pos_, n, out);
    pos_ += n;
    return static_cast<std::ptrdiff_t>(n);
  }
  bool Seek(uint64_t offset) override {
    pos_ = static_cast<size_t>(offset);
    return offset <= data_.size();
  }

 private:
  Bytes data_;
  size_t pos_ = 0;
};

TEST(Damage, WriterReportsFailingFilesAndStops) {
  const Bytes text = TextBytes(200000, 2);
  const Bytes noise = RandomBytes(5000, 3);
  struct Case {
    const char* what;
    size_t sinkLimit;
    bool seekFails;
    bool failingSource;
    const Bytes* data;
    lha::Result expected;
  };
  const Case cases[] = {
      {"header refused", 10, false, false, &text, lha::Result::WriteError},
      {"data refused", 5000, false, false, &text, lha::Result::WriteError},
      {"no seek back for the header", SIZE_MAX, true, false, &text, lha::Result::WriteError},
      {"no seek back to store", SIZE_MAX, true, false, &noise, lha::Result::WriteError},
      {"source fails", SIZE_MAX, false, true, nullptr, lha::Result::ReadError},
  };
  for (const Case& c : cases) {
    FailingSink sink(c.sinkLimit, c.seekFails);
    lha::LhaWriter writer(sink);
    lha::Result r;
    if (c.failingSource) {
      FailingSource source(100000);
      r = writer.AddMember({"a.txt", false, 0, 0x20}, source);
    } else {
      r = writer.AddMember({"a.txt", false, 0, 0x20}, *c.data);
    }
    EXPECT_EQ(r, c.expected) << c.what;
    EXPECT_EQ(writer.AddMember({"b.txt", false, 0, 0x20}, text), lha::Result::BadState) << c.what;
    EXPECT_EQ(writer.Finish(), lha::Result::BadState) << c.what;
  }
}

TEST(Damage, ReaderReportsAFailingSource) {
  const Sample s = MakeSample();
  std::vector<ReadMember> whole;
  ASSERT_EQ(ReadArchive(s.archive, &whole), lha::Result::End);
  // A source that fails once the reader goes past the first header.
  class Source : public lha::ByteSource {
   public:
    Source(const Bytes& data, size_t good) : inner_(data), good_(good) {}
    std::ptrdiff_t Read(uint8_t* out, size_t size) override {
      if (pos_ >= good_) return -1;
      const std::ptrdiff_t n = inner_.Read(out, std::min(size, good_ - pos_));
      if (n > 0) pos_ += static_cast<size_t>(n);
      return n;
    }
    bool Seek(uint64_t offset) override {
      pos_ = static_cast<size_t>(offset);
      return inner_.Seek(offset);
    }

   private:
    lha::MemorySource inner_;
    size_t good_, pos_ = 0;
  };
  Source source(s.archive, whole[0].header.dataOffset + 100);
  lha::LhaReader reader(source);
  lha::MemberHeader h;
  ASSERT_EQ(reader.Next(&h), lha::Result::Ok);
  Bytes data;
  EXPECT_EQ(reader.Extract(h, &data), lha::Result::ReadError);
  EXPECT_EQ(reader.Next(&h), lha::Result::ReadError);
}

}  // namespace
}  // namespace lhatest
