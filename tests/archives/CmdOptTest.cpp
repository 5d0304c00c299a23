#include <gtest/gtest.h>

#include <functional>

#include "archives/Archiver.h"
#include "archives/CmdOpt.h"
#include "archives/Exceptions.h"
#include "support/Cp932.h"
#include "support/Scratch.h"

using namespace vx;
using vxtest::Sjis;

namespace {

struct ItemCase {
  const char* name;
  std::function<void(TCmdOpt&)> build;
  std::string expected;
};

std::string Upper(const std::string& s) {
  std::string out = s;
  for (char& ch : out)
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  return out;
}

std::string ConvertForTest(const std::string& name) { return Upper(name); }

}  // namespace

class CmdOptItems : public ::testing::TestWithParam<ItemCase> {};

TEST_P(CmdOptItems, AppendsExactBytes) {
  TCmdOpt cmd;
  GetParam().build(cmd);
  EXPECT_EQ(cmd.Text, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, CmdOptItems,
    ::testing::Values(
        ItemCase{"AddEmpty", [](TCmdOpt& c) { c.Add(""); }, " "},
        ItemCase{"AddText", [](TCmdOpt& c) { c.Add("-+"); }, " -+"},
        ItemCase{"AddStrNoValue", [](TCmdOpt& c) { c.AddStr("w", NoValue); }, ""},
        ItemCase{"AddStrEmptyValue", [](TCmdOpt& c) { c.AddStr("w", ""); }, " \"-w\""},
        ItemCase{"AddStrValue", [](TCmdOpt& c) { c.AddStr("jo", "990101"); }, " \"-jo990101\""},
        ItemCase{"AddStrNoSwitch", [](TCmdOpt& c) { c.AddStr("", "a b"); }, " \"a b\""},
        ItemCase{"AddStrBlankPrefixedSwitch", [](TCmdOpt& c) { c.AddStr(" x", "v"); }, " \"xv\""},
        ItemCase{"AddStrSeparate",
                 [](TCmdOpt& c) {
                   c.SeparateValue = true;
                   c.AddStr("f", "x.tar");
                 },
                 " -f \"x.tar\""},
        ItemCase{"AddStrQuoteNotEscaped", [](TCmdOpt& c) { c.AddStr("", "a\"b\\"); }, " \"a\"b\\\""},
        ItemCase{"AddIntUnset", [](TCmdOpt& c) { c.AddInt("a", -1); }, ""},
        ItemCase{"AddIntZero", [](TCmdOpt& c) { c.AddInt("a", 0); }, " -a0"},
        ItemCase{"AddIntNegative", [](TCmdOpt& c) { c.AddInt("a", -5); }, " -a-5"},
        ItemCase{"AddIntEmptySwitch", [](TCmdOpt& c) { c.AddInt("", 9); }, " -9"},
        ItemCase{"AddIntDashSwitch", [](TCmdOpt& c) { c.AddInt("-x", 2); }, " --x2"},
        ItemCase{"AddDirRoot", [](TCmdOpt& c) { c.AddDir("", "C:\\"); }, " \"C:\\\""},
        ItemCase{"AddDirAppendsBackslash", [](TCmdOpt& c) { c.AddDir("", "C:\\a"); }, " \"C:\\a\\\""},
        ItemCase{"AddDirEmpty", [](TCmdOpt& c) { c.AddDir("", ""); }, ""},
        ItemCase{"AddDirNoValue", [](TCmdOpt& c) { c.AddDir("w", NoValue); }, ""},
        ItemCase{"AddDirTrailByte5C",
                 [](TCmdOpt& c) { c.AddDir("", "C:\\" + Sjis("表")); },
                 " \"C:\\" + Sjis("表") + "\\\""},
        ItemCase{"AddDirSwitch", [](TCmdOpt& c) { c.AddDir("w", "C:\\t"); }, " \"-wC:\\t\\\""},
        ItemCase{"AddFileConverted",
                 [](TCmdOpt& c) {
                   c.Converter = ConvertForTest;
                   c.AddFile("", "a.txt");
                 },
                 " \"A.TXT\""},
        ItemCase{"AddFilesInOrder", [](TCmdOpt& c) { c.AddFiles("", {"a", "b"}); }, " \"a\" \"b\""},
        ItemCase{"AddFilesSwitch", [](TCmdOpt& c) { c.AddFiles("jx", {"*.o"}); }, " \"-jx*.o\""}),
    [](const ::testing::TestParamInfo<ItemCase>& info) { return info.param.name; });

class ResponseFile : public ::testing::Test {
 protected:
  vxtest::DriveC drive;
};

TEST_F(ResponseFile, HoldsQuotedLinesAndAddsAtItem) {
  TCmdOpt cmd;
  cmd.AddResponseFile({"a", "b"}, "C:\\resp.txt");
  EXPECT_EQ(drive.ReadFile("resp.txt"), "\"a\"\r\n\"b\"\r\n");
  EXPECT_EQ(cmd.Text, " \"@C:\\resp.txt\"");
}

TEST_F(ResponseFile, PassesNamesThroughConverterAndOverwrites) {
  drive.WriteFile("resp.txt", "old content that is longer");
  TCmdOpt cmd;
  cmd.Converter = ConvertForTest;
  cmd.AddResponseFile({"x.txt"}, "C:\\resp.txt");
  EXPECT_EQ(drive.ReadFile("resp.txt"), "\"X.TXT\"\r\n");
}

TEST_F(ResponseFile, EmptyListGivesEmptyFile) {
  TCmdOpt cmd;
  cmd.AddResponseFile({}, "C:\\resp.txt");
  EXPECT_TRUE(drive.Exists("resp.txt"));
  EXPECT_EQ(drive.ReadFile("resp.txt"), "");
}

TEST_F(ResponseFile, UncreatableFileRaisesAndAppendsNothing) {
  TCmdOpt cmd;
  cmd.Add("x");
  EXPECT_THROW(cmd.AddResponseFile({"a"}, "C:\\missing\\dir\\resp.txt"), EFCreateError);
  EXPECT_EQ(cmd.Text, " x");
}

struct FileListCase {
  const char* name;
  std::string resFileName;
  bool useResFile;
  bool withFiles;
  std::string expected;
};

class AddFileListCases : public ::testing::TestWithParam<FileListCase> {
 protected:
  vxtest::DriveC drive;
};

TEST_P(AddFileListCases, BuildsTail) {
  TArchiverOptions options;
  options.ResFileName = GetParam().resFileName;
  options.UserFileList = "tail";
  TStringList files{"C:\\a.txt", "b.txt"};
  TCmdOpt cmd;
  TArchiver::AddFileList(cmd, options, GetParam().withFiles ? &files : nullptr,
                         GetParam().useResFile);
  EXPECT_EQ(cmd.Text, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Tail, AddFileListCases,
    ::testing::Values(
        FileListCase{"Names", "C:\\r.txt", false, true, " \"C:\\a.txt\" \"b.txt\" tail"},
        FileListCase{"ResponseFile", "C:\\r.txt", true, true, " \"@C:\\r.txt\" tail"},
        FileListCase{"ResFileNameNoValue", NoValue, true, true, " \"C:\\a.txt\" \"b.txt\" tail"},
        FileListCase{"ResFileNameEmpty", "", true, true, " \"C:\\a.txt\" \"b.txt\" tail"},
        FileListCase{"NoFilesStillUserFileList", "C:\\r.txt", true, false, " tail"}),
    [](const ::testing::TestParamInfo<FileListCase>& info) { return info.param.name; });

TEST(AddArchiveAndDir, QuotesNameAndDirectory) {
  struct Case {
    std::string archive, dir, expected;
  } cases[] = {
      {"C:\\a.lzh", "", " \"C:\\a.lzh\""},
      {"C:\\a.lzh", "C:\\base", " \"C:\\a.lzh\" \"C:\\base\\\""},
      {NoValue, "", ""},
      {NoValue, "C:\\", " \"C:\\\""},
  };
  for (const Case& c : cases) {
    TCmdOpt cmd;
    TArchiver::AddArchiveAndDir(cmd, c.archive, c.dir);
    EXPECT_EQ(cmd.Text, c.expected) << c.archive << " / " << c.dir;
  }
}
