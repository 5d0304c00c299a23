// Wildcards as the archivers take them: '*', '?', ASCII case folded,
// double-byte characters whole, and "[...]" classes where asked for.
#include <gtest/gtest.h>

#include <string>

#include "common/Wildcard.h"

namespace {

struct Case {
  const char* pattern;
  const char* name;
  bool classes;
  bool matches;
};

TEST(Wildcard, MatchesAsTheArchiversDo) {
  const Case cases[] = {
      {"*.txt", "a.txt", false, true},
      {"*.txt", "a.TXT", false, true},
      {"*.txt", "a.txt.bak", false, false},
      {"*.*", "noextension", false, true},
      {"a?c", "abc", false, true},
      {"a?c", "ac", false, false},
      {"a*b*c", "aXbYbZc", false, true},
      {"a*b*c", "aXbYbZ", false, false},
      {"**x", "abx", false, true},
      {"", "", false, true},
      {"", "a", false, false},
      // A double-byte character is one character, whatever its second byte.
      {"?.txt", "\x95\x5C.txt", false, true},
      {"\x95\x5C*", "\x95\x5C.txt", false, true},
      {"\\*", "\x95\x5C", false, false},
      // Classes.
      {"[abc].txt", "b.txt", true, true},
      {"[abc].txt", "d.txt", true, false},
      {"[abc].txt", "[abc].txt", false, true},
      {"[[]1].txt", "[1].txt", true, true},
      {"[]].txt", "].txt", true, true},
      {"[a", "[a", true, true},        // not closed: a literal '['
      {"[]", "[]", true, true},        // no member: literal
      {"*[xy]", "aaay", true, true},
      {"*[xy]?", "ayb", true, true},
      {"[\x95\x5C]", "\x95\x5C", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.pattern) + " / " + c.name);
    EXPECT_EQ(arc::MatchWildcard(c.pattern, c.name, c.classes), c.matches);
  }
}

// Found by the wildcard fuzzer: unclosed '[' were looked at again at every
// step of every retry of a star, so a near miss took time growing with the
// cube of the length (minutes for a few thousand characters).
TEST(Wildcard, LongPatternsAgainstNearMisses) {
  const std::string brackets(2000, '[');
  EXPECT_FALSE(arc::MatchWildcard("*" + brackets + "b", std::string(4000, '['), true));
  EXPECT_TRUE(arc::MatchWildcard("*" + brackets + "b", std::string(2000, '[') + "b", true));
  std::string classes = "*";
  for (int i = 0; i < 2000; ++i) classes += "[ab]*";
  EXPECT_FALSE(arc::MatchWildcard(classes + "c", std::string(4000, 'a'), true));
}

TEST(Wildcard, ClassesMadeLiteral) {
  EXPECT_EQ(arc::UnescapeClasses("a[[]1].txt"), "a[1].txt");
  EXPECT_EQ(arc::UnescapeClasses("[ab]"), "[ab]");
  EXPECT_TRUE(arc::HasWildcards("a[b]", true));
  EXPECT_FALSE(arc::HasWildcards("a[b]", false));
}

}  // namespace
