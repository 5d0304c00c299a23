// Integers in the settings file: decimal, or hexadecimal after "0x", "0X"
// or "$", and nothing else.
#include <gtest/gtest.h>

#include "plugin/IniFile.h"

namespace {

TEST(IniFile, IntegersAreDecimalOrPrefixedHexadecimalFillingTheValue) {
  struct Case {
    const char* text;
    bool valid;
    int value;
  };
  const Case cases[] = {
      {"1", true, 1},          {"0x1", true, 1},       {"0X1", true, 1},       {"$1", true, 1},
      {"-1", true, -1},        {"+4", true, 4},        {"0x1F", true, 31},     {"$ff", true, 255},
      {"2147483647", true, 2147483647},               {"-2147483648", true, -2147483647 - 1},
      {"$FFFFFFFF", true, -1}, {"  3", true, 3},
      {"", false, 0},          {"abc", false, 0},      {"1x", false, 0},       {"12 ", false, 0},
      {"0x", false, 0},        {"$", false, 0},        {"-", false, 0},        {"2147483648", false, 0},
      {"$100000000", false, 0}, {"1.5", false, 0},     {"0x-1", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    int value = 12345;
    EXPECT_EQ(vx::ParseIniInteger(c.text, value), c.valid);
    if (c.valid) {
      EXPECT_EQ(value, c.value);
    }
  }
}

}  // namespace
