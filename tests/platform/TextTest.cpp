// Code page 932 character stepping and comparison.
#include <gtest/gtest.h>

#include "platform/posix/vxposix.h"
#include "platform/win32api.h"
#include "support/Cp932.h"

using vxtest::Sjis;

TEST(Text, StepsOverDoubleByteCharacters) {
  const std::string s = Sjis("a表b");  // 表 is 0x95 0x5C
  const char* p = s.c_str();
  EXPECT_TRUE(IsDBCSLeadByte(0x95));
  EXPECT_FALSE(IsDBCSLeadByte(0x5C));
  EXPECT_FALSE(IsDBCSLeadByte(0xA0));  // half-width katakana range is single-byte
  EXPECT_EQ(CharNextA(p), p + 1);
  EXPECT_EQ(CharNextA(p + 1), p + 3);
  EXPECT_EQ(CharPrevA(p, p + 3), p + 1);
  EXPECT_EQ(CharPrevA(p, p + 4), p + 3);
  EXPECT_EQ(CharNextA(p + 4), p + 4);  // the terminator stays
  const char lone[] = "\x95";          // a lead byte without its trail
  EXPECT_EQ(CharNextA(lone), lone + 1);
}

TEST(Text, ComparesLettersWithoutCase) {
  EXPECT_EQ(lstrcmpiA("ABC", "abc"), 0);
  EXPECT_LT(lstrcmpiA("abc", "ABD"), 0);
  EXPECT_GT(lstrcmpiA("abcd", "ABC"), 0);
  // A trail byte that looks like a letter is not folded.
  EXPECT_NE(lstrcmpiA("\x83\x41", "\x83\x61"), 0);
}

TEST(Text, ConvertsBetweenCodePage932AndUtf8) {
  std::string out;
  ASSERT_TRUE(vxposix::Cp932ToUtf8(Sjis("圧縮して添付"), out));
  EXPECT_EQ(out, "圧縮して添付");
  EXPECT_FALSE(vxposix::Cp932ToUtf8("\x81\x7F", out));
  EXPECT_FALSE(vxposix::Utf8ToCp932("\xF0\x9F\x98\x80", out));
}
