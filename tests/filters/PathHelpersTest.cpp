// The small operations the filter is built from: joining and splitting
// paths of code page 932 text, reading date switches, directory checks.
#include <gtest/gtest.h>

#include "archives/DateTime.h"
#include "archives/Filters.h"
#include "archives/Paths.h"
#include "support/Cp932.h"
#include "support/Scratch.h"

using namespace vx;
using vxtest::Sjis;

TEST(PathHelpers, JoinPathAddsABackslashOnlyWhenMissing) {
  struct Case {
    std::string dir, name, joined;
  } cases[] = {
      {"", "a.txt", "a.txt"},
      {"C:\\", "a.txt", "C:\\a.txt"},
      {"C:\\d", "a.txt", "C:\\d\\a.txt"},
      {"C:\\d\\", "*.*", "C:\\d\\*.*"},
      {"C:", "a.txt", "C:\\a.txt"},
      // The last character is 表 (0x95 0x5C), not a backslash.
      {Sjis("C:\\表"), "a.txt", Sjis("C:\\表\\a.txt")},
      {Sjis("C:\\表\\"), "a.txt", Sjis("C:\\表\\a.txt")},
  };
  for (const Case& c : cases) EXPECT_EQ(JoinPath(c.dir, c.name), c.joined) << c.dir;
}

TEST(PathHelpers, DirectoryAndNameParts) {
  struct Case {
    std::string entry, dir, name;
  } cases[] = {
      {"C:\\d\\a.txt", "C:\\d", "a.txt"},
      {"C:\\a.txt", "C:\\", "a.txt"},
      {"C:\\d", "C:\\", "d"},
      {"C:a.txt", "C:", "a.txt"},
      {"d\\*.txt", "d", "*.txt"},
      {"a.txt", "", "a.txt"},
      {"\\a.txt", "\\", "a.txt"},
      {Sjis("C:\\表\\ソ.txt"), Sjis("C:\\表"), Sjis("ソ.txt")},
      {Sjis("表"), "", Sjis("表")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExtractFileDir(c.entry), c.dir) << vxtest::Utf8(c.entry);
    EXPECT_EQ(ExtractFileName(c.entry), c.name) << vxtest::Utf8(c.entry);
  }
}

TEST(PathHelpers, ParseDateReadsYyMmDdAndTheTimeOfDay) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);  // the epoch of date-time values
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
  EXPECT_EQ(ParseDate("990101"), EncodeDate(1999, 1, 1));
  EXPECT_EQ(ParseDate("000101120000"), EncodeDate(2000, 1, 1) + 0.5);
  EXPECT_EQ(ParseDate("791231235959"), EncodeDate(2079, 12, 31) + EncodeTime(23, 59, 59, 0));
  EXPECT_EQ(ParseDate("800229"), EncodeDate(1980, 2, 29));
  for (const std::string& ignored : {NoValue, std::string(), std::string("9901"),
                                     std::string("99010112"), std::string("9901011200000")})
    EXPECT_EQ(ParseDate(ignored), 0) << ignored;
  EXPECT_THROW(ParseDate("810229"), EConvertError);  // 1981 is no leap year
}

TEST(PathHelpers, HasWildcard) {
  EXPECT_TRUE(HasWildcard("*.txt"));
  EXPECT_TRUE(HasWildcard("a?c"));
  EXPECT_FALSE(HasWildcard("a.txt"));
  EXPECT_FALSE(HasWildcard(""));
}

TEST(PathHelpers, FileTimeZeroIsNoDate) {
  EXPECT_EQ(FileTimeToDateTime(FILETIME{0, 0}), 0);
}

TEST(PathHelpers, IsDirectoryAndSearchesOnDriveC) {
  vxtest::DriveC drive;
  drive.WriteFile("d/a.txt", "x");
  drive.WriteFile("d/.h.txt", "x");
  EXPECT_TRUE(IsDirectory("C:\\d"));
  EXPECT_TRUE(IsDirectory("c:\\D\\"));
  EXPECT_FALSE(IsDirectory("C:\\d\\a.txt"));
  EXPECT_FALSE(IsDirectory("C:\\none"));

  // A search that finds only entries it must leave out ends up closed.
  auto hiddenOnly = FindFirstChecked("C:\\d\\.h*", 0x21);
  EXPECT_FALSE(hiddenOnly->Found());
  EXPECT_FALSE(hiddenOnly->Next());
  auto nothing = FindFirstChecked("C:\\none\\*.*", 0x21);
  EXPECT_FALSE(nothing->Found());
  auto files = FindFirstChecked("C:\\d\\*.*", 0x27);
  ASSERT_TRUE(files->Found());
  EXPECT_STREQ(files->Data().cFileName, ".h.txt");
  ASSERT_TRUE(files->Next());
  EXPECT_STREQ(files->Data().cFileName, "a.txt");
  EXPECT_FALSE(files->Next());
}
