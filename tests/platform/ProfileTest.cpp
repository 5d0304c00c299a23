// Private profile files with Windows semantics.
#include <gtest/gtest.h>

#include "platform/win32api.h"
#include "support/Scratch.h"

TEST(Profile, ReadsIntegersInDecimalAndHexadecimal) {
  vxtest::DriveC c;
  c.WriteFile("s.ini",
              "[Main]\r\ndec=42\r\nneg=-5\r\nhex1=0x1F\r\nhex2=0X1f\r\nhex3=$ff\r\n"
              "word=abc\r\nempty=\r\ntail=12abc\r\n");
  const struct {
    const char* key;
    UINT value;
  } cases[] = {
      {"dec", 42},  {"neg", static_cast<UINT>(-5)}, {"hex1", 31}, {"hex2", 31}, {"hex3", 255},
      {"word", 7},  {"empty", 7},                   {"tail", 12}, {"none", 7},
  };
  for (const auto& t : cases)
    EXPECT_EQ(GetPrivateProfileIntA("main", t.key, 7, "C:\\s.ini"), t.value) << t.key;
  EXPECT_EQ(GetPrivateProfileIntA("Main", "dec", 7, "C:\\missing.ini"), 7u);
}

TEST(Profile, ReadsStringsWithoutCaseInNames) {
  vxtest::DriveC c;
  c.WriteFile("s.ini", "; comment\n[Sec]\nKey = value with blanks \nq=\"quoted\"\n[Other]\nk=2\n");
  char buf[64];
  EXPECT_EQ(GetPrivateProfileStringA("SEC", "key", "def", buf, sizeof buf, "C:\\s.ini"), 17u);
  EXPECT_STREQ(buf, "value with blanks");
  GetPrivateProfileStringA("sec", "q", "", buf, sizeof buf, "C:\\s.ini");
  EXPECT_STREQ(buf, "quoted");
  GetPrivateProfileStringA("sec", "none", "def  ", buf, sizeof buf, "C:\\s.ini");
  EXPECT_STREQ(buf, "def");
  EXPECT_EQ(GetPrivateProfileStringA("sec", "key", "", buf, 6, "C:\\s.ini"), 5u);  // cut to the buffer
  EXPECT_STREQ(buf, "value");
  const DWORD n = GetPrivateProfileStringA(nullptr, nullptr, "", buf, sizeof buf, "C:\\s.ini");
  EXPECT_EQ(std::string(buf, n), std::string("Sec\0Other\0", 10));
}

TEST(Profile, FirstWriteCreatesFileAndSectionWithCrLfLines) {
  vxtest::DriveC c;
  ASSERT_TRUE(WritePrivateProfileStringA("Main", "Format", "2", "C:\\new.ini"));
  ASSERT_TRUE(WritePrivateProfileStringA("main", "SFX", "1", "C:\\new.ini"));
  ASSERT_TRUE(WritePrivateProfileStringA("MAIN", "format", "3", "C:\\new.ini"));
  EXPECT_EQ(c.ReadFile("new.ini"), "[Main]\r\nFormat=3\r\nSFX=1\r\n");
  ASSERT_TRUE(WritePrivateProfileStringA("Main", "SFX", nullptr, "C:\\new.ini"));
  EXPECT_EQ(c.ReadFile("new.ini"), "[Main]\r\nFormat=3\r\n");
  EXPECT_EQ(GetPrivateProfileIntA("Main", "Format", 0, "C:\\new.ini"), 3u);
}

TEST(Profile, AFailedWriteIsReported) {
  vxtest::DriveC c;
  c.MakeDir("dir.ini");
  EXPECT_FALSE(WritePrivateProfileStringA("Main", "a", "1", "C:\\nofolder\\s.ini"));
  EXPECT_FALSE(WritePrivateProfileStringA("Main", "a", "1", "C:\\dir.ini"));
  EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
}
