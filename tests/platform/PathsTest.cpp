// Drive letters, Windows path forms and case-insensitive lookup.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "platform/posix/vxposix.h"
#include "platform/win32api.h"
#include "support/Cp932.h"
#include "support/Scratch.h"

using vxtest::Sjis;

namespace {

std::string FullPath(const std::string& name) {
  char buf[MAX_PATH + 1];
  const DWORD n = GetFullPathNameA(name.c_str(), sizeof buf, buf, nullptr);
  return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string("<failed>");
}

std::string Posix(const std::string& win) {
  std::string p;
  return vxposix::ToPosixPath(win, p) ? p : std::string("<failed>");
}

class CurrentDir {
 public:
  explicit CurrentDir(const std::string& win) {
    char buf[PATH_MAX];
    old_ = getcwd(buf, sizeof buf);
    EXPECT_TRUE(SetCurrentDirectoryA(win.c_str())) << win;
  }
  ~CurrentDir() { EXPECT_EQ(chdir(old_.c_str()), 0); }

 private:
  std::string old_;
};

}  // namespace

TEST(Drives, ZIsThePosixRootAndMappedDrivesWinByLongestRoot) {
  std::string win;
  ASSERT_TRUE(vxposix::ToWinPath("/home/u/a.txt", win));
  EXPECT_EQ(win, "Z:\\home\\u\\a.txt");
  vxtest::DriveC c;
  ASSERT_TRUE(vxposix::ToWinPath(c.Path() + "/d/a.txt", win));
  EXPECT_EQ(win, "C:\\d\\a.txt");
  EXPECT_EQ(Posix("c:\\d\\a.txt"), c.Path() + "/d/a.txt");
  EXPECT_FALSE(vxposix::MapDrive('C', c.Path() + "/missing"));
  EXPECT_FALSE(vxposix::MapDrive('1', c.Path()));
}

TEST(Drives, AnUnmappedDriveResolvesToNothing) {
  std::string p;
  EXPECT_FALSE(vxposix::ToPosixPath("Q:\\a.txt", p));
  EXPECT_EQ(GetFileAttributesA("Q:\\a.txt"), INVALID_FILE_ATTRIBUTES);
}

TEST(FullPathName, ResolvesTheWindowsForms) {
  vxtest::DriveC c;
  c.MakeDir("d/e");
  CurrentDir cd("C:\\d");
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"a.txt", "C:\\d\\a.txt"},
      {".\\e\\..\\a.txt", "C:\\d\\a.txt"},
      {"..\\..\\..\\a.txt", "C:\\a.txt"},
      {"\\x\\y", "C:\\x\\y"},
      {"C:a.txt", "C:\\d\\a.txt"},
      {"Z:a.txt", "Z:\\a.txt"},
      {"c:/d/e/", "C:\\d\\e\\"},
      {"C:\\", "C:\\"},
  };
  for (const auto& t : cases) EXPECT_EQ(FullPath(t.in), t.out) << t.in;
  char small[4];
  EXPECT_EQ(GetFullPathNameA("a.txt", sizeof small, small, nullptr), 11u);  // size needed
}

TEST(CurrentDirectory, IsReportedOnTheMappedDrive) {
  vxtest::DriveC c;
  c.MakeDir("Sub");
  CurrentDir cd("C:\\SUB");
  char buf[MAX_PATH];
  ASSERT_GT(GetCurrentDirectoryA(sizeof buf, buf), 0u);
  EXPECT_STREQ(buf, "C:\\Sub");
  EXPECT_FALSE(SetCurrentDirectoryA("C:\\nowhere"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST(Lookup, IsCaseInsensitiveWithTheExactNameFirst) {
  vxtest::DriveC c;
  c.WriteFile("Dir/Mixed.TXT", "m");
  c.WriteFile("Dir/two.txt", "lower");
  c.WriteFile("Dir/TWO.txt", "upper");
  EXPECT_EQ(Posix("C:\\dir\\mixed.txt"), c.Path() + "/Dir/Mixed.TXT");
  EXPECT_EQ(Posix("C:\\DIR\\TWO.txt"), c.Path() + "/Dir/TWO.txt");
  EXPECT_EQ(Posix("C:\\DIR\\two.txt"), c.Path() + "/Dir/two.txt");
  // A name that does not exist keeps its spelling.
  EXPECT_EQ(Posix("C:\\dir\\New\\X.txt"), c.Path() + "/Dir/New/X.txt");
}

TEST(Names, AreCodePage932InsideAndUtf8OnDisk) {
  vxtest::DriveC c;
  // 表 ends in the byte 0x5C, which is no path separator inside the name.
  c.WriteFile("表/日本語.txt", "x");
  EXPECT_EQ(Posix(Sjis("C:\\表\\日本語.txt")), c.Path() + "/表/日本語.txt");
  std::string win;
  ASSERT_TRUE(vxposix::ToWinPath(c.Path() + "/表/日本語.txt", win));
  EXPECT_EQ(win, Sjis("C:\\表\\日本語.txt"));
  EXPECT_EQ(FullPath(Sjis("C:\\表\\..\\表\\")), Sjis("C:\\表\\"));
}

TEST(Names, ThatCannotBeConvertedAreErrors) {
  vxtest::DriveC c;
  // A lead byte followed by a byte no double-byte character has.
  const std::string bad = "C:\\a\x81\x7F.txt";
  std::string p;
  EXPECT_FALSE(vxposix::ToPosixPath(bad, p));
  EXPECT_EQ(CreateFileA(bad.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  // A POSIX name with no code page 932 form.
  EXPECT_FALSE(vxposix::ToWinPath(c.Path() + "/\xF0\x9F\x98\x80.txt", p));
}

TEST(TempPath, FollowsTmpdirAndEndsInABackslash) {
  vxtest::ScratchDir dir;
  const char* old = std::getenv("TMPDIR");
  const std::string saved = old ? old : "";
  setenv("TMPDIR", dir.Path().c_str(), 1);
  char buf[MAX_PATH];
  const DWORD n = GetTempPathA(sizeof buf, buf);
  std::string expected;
  ASSERT_TRUE(vxposix::ToWinPath(dir.Path(), expected));
  EXPECT_EQ(std::string(buf, n), expected + "\\");
  unsetenv("TMPDIR");
  GetTempPathA(sizeof buf, buf);
  EXPECT_STREQ(buf, "Z:\\tmp\\");
  if (old) setenv("TMPDIR", saved.c_str(), 1);
}
