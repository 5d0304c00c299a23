// Member names turned into parts below the destination: roots and drive
// letters are taken off (and told), ".." and empty names are refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/SafePath.h"

namespace {

struct Case {
  const char* name;
  bool safe;
  const char* root;                // what was taken off
  std::vector<std::string> parts;  // when safe
};

TEST(SafeMemberPath, TakesOffRootsAndRefusesWaysOut) {
  const Case cases[] = {
      {"a/b.txt", true, "", {"a", "b.txt"}},
      {"a\\b.txt", true, "", {"a", "b.txt"}},
      {"./a//b/./c", true, "", {"a", "b", "c"}},
      {"/etc/x", true, "/", {"etc", "x"}},
      {"//two/x", true, "//", {"two", "x"}},
      {"\\Untitled\\subdir\\hello.txt", true, "\\", {"Untitled", "subdir", "hello.txt"}},
      {"C:\\x.txt", true, "C:\\", {"x.txt"}},
      {"c:/dir/x.txt", true, "c:/", {"dir", "x.txt"}},
      {"C:x.txt", true, "C:", {"x.txt"}},
      {"/./x", true, "/", {"x"}},
      {"a:b", true, "a:", {"b"}},
      {"dir/C:x", true, "", {"dir", "C:x"}},
      // A root taken off still leaves ".." refused.
      {"/../x", false, "/", {}},
      {"C:\\..\\x", false, "C:\\", {}},
      {"../x", false, "", {}},
      {"a/../../x", false, "", {}},
      {"a/..", false, "", {}},
      {"/", false, "/", {}},
      {"C:", false, "C:", {}},
      {"", false, "", {}},
      {"./", false, "", {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> parts;
    std::string reason, root;
    EXPECT_EQ(arc::SafeMemberPath(c.name, parts, reason, &root), c.safe) << c.name << ": " << reason;
    EXPECT_EQ(root, c.root) << c.name;
    if (c.safe) {
      EXPECT_EQ(parts, c.parts) << c.name;
    }
  }
}

}  // namespace
