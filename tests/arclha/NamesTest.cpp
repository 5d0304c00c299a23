// Member names: nested paths, directories, long names and code page 932
// names whose second bytes look like backslashes, as our reader and lhasa
// see them; names that cannot be stored are refused without harm.
#include <gtest/gtest.h>

#include <filesystem>

#include "LhaTestSupport.h"

namespace lhatest {
namespace {

// Code page 932 bytes: 日本語, ファイル, and 表, ソ, 能, 予, whose second
// bytes are 0x5C.
const std::string kNihongo = "\x93\xFA\x96\x7B\x8C\xEA";
const std::string kFile = "\x83\x74\x83\x40\x83\x43\x83\x8B";
const std::string kHyo = "\x95\x5C";
const std::string kSo = "\x83\x5C";
const std::string kNou = "\x94\x5C";
const std::string kYo = "\x97\x5C";

struct NameCase {
  std::string name;       // as given to the writer
  bool directory;
  std::string stored;     // as our reader gives it back
  std::string onDisk;     // where lhasa extracts it (it keeps the bytes of names)
};

std::vector<NameCase> NameCases() {
  const std::string longName = std::string(240, 'n') + ".txt";
  std::string deep, deepDisk;
  for (int i = 0; i < 12; ++i) {
    const std::string part = "level" + std::to_string(i) + std::string(30, 'd');
    deep += part + "\\";
    deepDisk += part + "/";
  }
  return {
      {"plain.txt", false, "plain.txt", "plain.txt"},
      {"dir\\sub\\file.txt", false, "dir\\sub\\file.txt", "dir/sub/file.txt"},
      {"dir/slash.txt", false, "dir\\slash.txt", "dir/slash.txt"},
      {"dir", true, "dir", "dir"},
      {"dir\\empty\\", true, "dir\\empty", "dir/empty"},
      {longName, false, longName, longName},
      {deep + "deep.txt", false, deep + "deep.txt", deepDisk + "deep.txt"},
      {kNihongo + "\\" + kFile + ".txt", false, kNihongo + "\\" + kFile + ".txt",
       kNihongo + "/" + kFile + ".txt"},
      // Second bytes 0x5C: at the end of a directory name, of a file name,
      // and of a directory entry.
      {kHyo + "\\" + kSo + kNou + kYo, false, kHyo + "\\" + kSo + kNou + kYo,
       kHyo + "/" + kSo + kNou + kYo},
      {kNihongo + "\\" + kHyo, true, kNihongo + "\\" + kHyo, kNihongo + "/" + kHyo},
  };
}

TEST(Names, PathsDirectoriesAndJapaneseNames) {
  ASSERT_TRUE(HaveLhasa()) << "lhasa's lha is missing: run scripts/install-deps.sh";
  const std::vector<NameCase> cases = NameCases();
  std::vector<Member> members;
  for (const NameCase& c : cases) {
    Bytes data;
    if (!c.directory) data = TextBytes(500 + c.name.size(), static_cast<uint32_t>(c.name.size()));
    members.push_back({{c.name, c.directory, 1600000000, 0x20}, data});
  }
  TempDir dir;
  const std::string path = dir.File("names.lzh");
  WriteArchive(path, members);

  std::vector<ReadMember> read;
  EXPECT_EQ(ReadArchive(ReadFile(path), &read), lha::Result::End);
  ASSERT_EQ(read.size(), cases.size());
  for (size_t i = 0; i < cases.size(); ++i) {
    const NameCase& c = cases[i];
    const lha::MemberHeader& h = read[i].header;
    EXPECT_EQ(h.name, c.stored) << i;
    EXPECT_EQ(h.directory, c.directory) << i;
    if (c.directory) {
      EXPECT_EQ(h.method, "-lhd-");
      EXPECT_EQ(h.dosAttributes & 0x10, 0x10);
      EXPECT_EQ(h.compressedSize, 0u);
    }
    EXPECT_TRUE(read[i].data == members[i].data) << i;
  }

  const LhasaTest t = RunLhasaTest(path);
  EXPECT_EQ(t.status, 0) << t.output;
  EXPECT_EQ(t.tested, static_cast<size_t>(std::count_if(cases.begin(), cases.end(),
                                                        [](const NameCase& c) { return !c.directory; })))
      << t.output;
  const std::string out = dir.File("out");
  std::filesystem::create_directory(out);
  const CommandResult x = RunCommand("lha xw=" + Quote(out) + " " + Quote(path));
  EXPECT_EQ(x.status, 0) << x.output;
  for (size_t i = 0; i < cases.size(); ++i) {
    const NameCase& c = cases[i];
    const std::string p = out + "/" + c.onDisk;
    if (c.directory) {
      EXPECT_TRUE(std::filesystem::is_directory(p)) << p;
    } else {
      EXPECT_TRUE(ReadFile(p) == members[i].data) << p;
    }
  }
}

TEST(Names, UnstorableNamesAreRefusedAndTheWriterGoesOn) {
  const std::string tooLong(70000, 'x');
  const std::string refused[] = {"", "\\", "\\abs.txt", "/abs.txt", "a\\\\b.txt", "..\\up.txt",
                                 "a\\..\\b.txt", ".", "a\\.\\b.txt", tooLong};
  Bytes archive;
  {
    lha::VectorSink sink(archive);
    lha::LhaWriter writer(sink);
    const Bytes data = TextBytes(100, 1);
    for (const std::string& name : refused) {
      EXPECT_EQ(writer.AddMember({name, false, 0, 0x20}, data), lha::Result::BadName)
          << name.substr(0, 20);
      EXPECT_EQ(writer.AddMember({name, true, 0, 0x10}, data), lha::Result::BadName)
          << name.substr(0, 20);
    }
    EXPECT_EQ(writer.Size(), 0u);
    EXPECT_EQ(writer.AddMember({"ok.txt", false, 0, 0x20}, data), lha::Result::Ok);
    EXPECT_EQ(writer.Finish(), lha::Result::Ok);
  }
  std::vector<ReadMember> read;
  EXPECT_EQ(ReadArchive(archive, &read), lha::Result::End);
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].header.name, "ok.txt");
}

}  // namespace
}  // namespace lhatest
