// Archives written by LhaWriter, read back by our reader and by lhasa's lha:
// the member data of every size class comes back byte for byte, in the
// method the writer chose.
#include <gtest/gtest.h>

#include <filesystem>

#include "LhaTestSupport.h"

namespace lhatest {
namespace {

struct DataCase {
  const char* name;
  Bytes data;
  bool shrinks;  // whether a compressing method is expected
};

std::vector<DataCase> DataCases() {
  return {
      {"empty.txt", {}, false},
      {"one.txt", {'x'}, false},
      {"two.txt", {'x', 'x'}, false},
      {"short.txt", TextBytes(300, 1), true},
      {"window.txt", TextBytes(8192, 2), true},
      {"random.bin", RandomBytes(100000, 3), false},
      {"mixed.bin", MixedBytes(700000, 4), true},
      {"text.txt", TextBytes(400000, 5), true},
      {"run.bin", Bytes(300000, 0xAB), true},
  };
}

struct MethodCase {
  const char* what;
  lha::WriterOptions options;
  const char* method;  // for members that shrink
};

std::vector<MethodCase> MethodCases() {
  std::vector<MethodCase> v(4);
  v[0] = {"lh5", {}, "-lh5-"};
  v[1] = {"lh6", {}, "-lh6-"};
  v[1].options.method = lha::Method::Lh6;
  v[2] = {"lh7", {}, "-lh7-"};
  v[2].options.method = lha::Method::Lh7;
  v[3] = {"store only", {}, "-lh0-"};
  v[3].options.storeOnly = true;
  return v;
}

TEST(RoundTrip, EveryDataClassInEveryMethod) {
  ASSERT_TRUE(HaveLhasa()) << "lhasa's lha is missing: run scripts/install-deps.sh";
  const std::vector<DataCase> cases = DataCases();
  for (const MethodCase& mc : MethodCases()) {
    SCOPED_TRACE(mc.what);
    TempDir dir;
    std::vector<Member> members;
    uint32_t time = 1700000000;
    for (const DataCase& c : cases) {
      members.push_back({{c.name, false, time++, 0x21}, c.data});
    }
    std::vector<lha::AddResult> added;
    const std::string path = dir.File("a.lzh");
    WriteArchive(path, members, mc.options, &added);
    const Bytes archive = ReadFile(path);

    // Our reader: headers as written, data intact.
    std::vector<ReadMember> read;
    EXPECT_EQ(ReadArchive(archive, &read), lha::Result::End);
    ASSERT_EQ(read.size(), cases.size());
    uint64_t total = 1;  // the end mark
    for (size_t i = 0; i < cases.size(); ++i) {
      const DataCase& c = cases[i];
      const lha::MemberHeader& h = read[i].header;
      SCOPED_TRACE(c.name);
      const std::string method = c.shrinks ? mc.method : "-lh0-";
      EXPECT_EQ(h.method, method);
      EXPECT_EQ(added[i].method, method);
      EXPECT_EQ(h.name, c.name);
      EXPECT_EQ(h.level, 2);
      EXPECT_EQ(h.osId, 'M');
      EXPECT_EQ(h.unixTime, members[i].info.unixTime);
      EXPECT_EQ(h.dosAttributes, 0x21);
      EXPECT_EQ(h.originalSize, c.data.size());
      EXPECT_EQ(h.compressedSize, added[i].compressedSize);
      EXPECT_EQ(h.crc16, lha::Crc16(c.data.data(), c.data.size()));
      EXPECT_EQ(added[i].crc16, h.crc16);
      EXPECT_EQ(added[i].headerOffset, h.headerOffset);
      if (c.shrinks && !mc.options.storeOnly) {
        EXPECT_LT(h.compressedSize, h.originalSize);
      }
      EXPECT_EQ(read[i].extract, lha::Result::Ok);
      EXPECT_TRUE(read[i].data == c.data);
      total += h.totalSize;
    }
    // Nothing is left over from members first compressed, then stored.
    EXPECT_EQ(archive.size(), total);

    // lhasa: the archive tests clean and extracts to the same bytes.
    const LhasaTest t = RunLhasaTest(path);
    EXPECT_EQ(t.status, 0) << t.output;
    EXPECT_EQ(t.tested, cases.size()) << t.output;
    const std::string out = dir.File("out");
    std::filesystem::create_directory(out);
    const CommandResult x = RunCommand("lha xw=" + Quote(out) + " " + Quote(path));
    EXPECT_EQ(x.status, 0) << x.output;
    for (const DataCase& c : cases) {
      EXPECT_TRUE(ReadFile(out + "/" + c.name) == c.data) << c.name;
    }
  }
}

// Members read from files rather than memory, including one that does not
// shrink and is read a second time to be stored, and one whose stream does
// not stand at the file's start.
TEST(RoundTrip, MembersFromFiles) {
  ASSERT_TRUE(HaveLhasa()) << "lhasa's lha is missing: run scripts/install-deps.sh";
  TempDir dir;
  const Bytes text = TextBytes(300000, 11);
  // Large enough that its compressed form outgrows it by more than a block.
  const Bytes noise = RandomBytes(8000000, 12);
  Bytes both = noise;
  both.insert(both.end(), text.begin(), text.end());
  WriteFile(dir.File("text"), text);
  WriteFile(dir.File("noise"), noise);
  WriteFile(dir.File("both"), both);

  struct Input {
    const char* file;
    long skip;  // where the stream stands when the source is made
    const char* name;
    const char* method;
    const Bytes* expected;
  };
  const Input inputs[] = {
      {"text", 0, "text.txt", "-lh5-", &text},
      {"both", static_cast<long>(noise.size()), "tail.txt", "-lh5-", &text},
      {"noise", 0, "noise.bin", "-lh0-", &noise},
  };
  const std::string path = dir.File("f.lzh");
  std::FILE* out = std::fopen(path.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  {
    lha::FileSink sink(out);
    lha::LhaWriter writer(sink);
    for (const Input& in : inputs) {
      std::FILE* f = std::fopen(dir.File(in.file).c_str(), "rb");
      ASSERT_NE(f, nullptr);
      ASSERT_EQ(std::fseek(f, in.skip, SEEK_SET), 0);
      lha::FileSource source(f);
      lha::AddResult r;
      EXPECT_EQ(writer.AddMember({in.name, false, 0, 0x20}, source, &r), lha::Result::Ok);
      EXPECT_EQ(r.method, in.method) << in.name;
      EXPECT_EQ(r.originalSize, in.expected->size()) << in.name;
      std::fclose(f);
    }
    EXPECT_EQ(writer.Finish(), lha::Result::Ok);
  }
  std::fclose(out);

  std::vector<ReadMember> read;
  const Bytes archive = ReadFile(path);
  EXPECT_EQ(ReadArchive(archive, &read), lha::Result::End);
  ASSERT_EQ(read.size(), std::size(inputs));
  uint64_t total = 1;
  for (size_t i = 0; i < read.size(); ++i) {
    EXPECT_EQ(read[i].header.name, inputs[i].name);
    EXPECT_TRUE(read[i].data == *inputs[i].expected) << inputs[i].name;
    total += read[i].header.totalSize;
  }
  // The last member was compressed first, then stored: nothing of the
  // longer compressed form is left behind the end mark.
  EXPECT_EQ(archive.size(), total);
  const LhasaTest t = RunLhasaTest(path);
  EXPECT_EQ(t.status, 0) << t.output;
  EXPECT_EQ(t.tested, std::size(inputs)) << t.output;
}

}  // namespace
}  // namespace lhatest
