// Directory search: the entries, their order and the wildcard rules.
#include <gtest/gtest.h>

#include <vector>

#include "platform/win32api.h"
#include "support/Cp932.h"
#include "support/Scratch.h"

using vxtest::Sjis;

namespace {

std::vector<std::string> FindAll(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE h = FindFirstFileA(pattern.c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return names;
  do names.push_back(data.cFileName);
  while (FindNextFileA(h, &data));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
  EXPECT_TRUE(FindClose(h));
  return names;
}

using Names = std::vector<std::string>;

}  // namespace

TEST(Find, DotEntriesComeFirstOutsideTheDriveRoot) {
  vxtest::DriveC c;
  c.WriteFile("d/b.txt", "");
  c.WriteFile("d/A.txt", "");
  c.WriteFile("top.txt", "");
  EXPECT_EQ(FindAll("C:\\d\\*"), (Names{".", "..", "A.txt", "b.txt"}));
  EXPECT_EQ(FindAll("C:\\*"), (Names{"d", "top.txt"}));
}

TEST(Find, FillsAttributesSizesAndNoShortNames) {
  vxtest::DriveC c;
  c.WriteFile("d/five.txt", "12345");
  c.MakeDir("d/sub");
  WIN32_FIND_DATAA data;
  HANDLE h = FindFirstFileA("C:\\D\\FIVE.TXT", &data);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(data.cFileName, "five.txt");
  EXPECT_EQ(data.nFileSizeLow, 5u);
  EXPECT_EQ(data.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_STREQ(data.cAlternateFileName, "");
  FindClose(h);
  EXPECT_EQ(FindAll("C:\\d\\sub"), Names{"sub"});
}

TEST(Find, ReportsWhatIsMissing) {
  vxtest::DriveC c;
  c.MakeDir("d");
  WIN32_FIND_DATAA data;
  EXPECT_EQ(FindFirstFileA("C:\\d\\*.txt", &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(FindFirstFileA("C:\\none\\*", &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST(Find, WildcardRules) {
  const struct {
    const char* mask;
    const char* name;
    bool matches;
  } cases[] = {
      {"*", "abc", true},
      {"*.*", "abc", true},  // no extension still matches "*.*"
      {"*.*", "a.b.c", true},
      {"*.", "abc", true},
      {"*.", "a.txt", false},
      {"*.txt", "A.TXT", true},
      {"*.txt", "a.txt.bak", false},
      {"a?c", "abc", true},
      {"a?c", "ac", false},
      {"ab?", "ab", true},  // "?" may match nothing at the end
      {"?.txt", "ab.txt", false},
      {"a*b*c", "axxbyyc", true},
      {"a*b*c", "axxbyy", false},
      {"表?", "表日", true},  // one double-byte character is one "?"
      {"?", "日", true},
  };
  for (const auto& t : cases) {
    vxtest::DriveC c;
    c.WriteFile(std::string("d/") + t.name, "");
    Names found = FindAll(Sjis(std::string("C:\\d\\") + t.mask));
    std::erase_if(found, [](const std::string& n) { return n == "." || n == ".."; });
    EXPECT_EQ(found == Names{Sjis(t.name)}, t.matches) << t.mask << " vs " << t.name;
  }
}

TEST(Find, GivesAQuestionMarkForCharactersOutsideCodePage932) {
  vxtest::DriveC c;
  c.WriteFile("d/ok.txt", "");
  c.WriteFile("d/a\xF0\x9F\x98\x80.txt", "");
  EXPECT_EQ(FindAll("C:\\d\\*.txt"), (Names{"a?.txt", "ok.txt"}));
}
