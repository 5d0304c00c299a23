// FILETIME, SYSTEMTIME and the process's time zone.
#include <gtest/gtest.h>
#include <time.h>

#include <cstdlib>

#include "platform/win32api.h"

namespace {

// Sets TZ for one test and restores it.
class TimeZone {
 public:
  explicit TimeZone(const char* tz) {
    const char* old = std::getenv("TZ");
    had_ = old != nullptr;
    if (had_) old_ = old;
    setenv("TZ", tz, 1);
    tzset();
  }
  ~TimeZone() {
    if (had_) setenv("TZ", old_.c_str(), 1);
    else unsetenv("TZ");
    tzset();
  }

 private:
  bool had_ = false;
  std::string old_;
};

FILETIME FileTimeOf(WORD y, WORD mo, WORD d, WORD h, WORD mi, WORD s) {
  SYSTEMTIME st{y, mo, 0, d, h, mi, s, 0};
  FILETIME ft{};
  EXPECT_TRUE(SystemTimeToFileTime(&st, &ft));
  return ft;
}

}  // namespace

TEST(Time, SystemTimeRoundTripsAndKnowsTheEpochs) {
  const FILETIME unixEpoch = FileTimeOf(1970, 1, 1, 0, 0, 0);
  const unsigned long long ticks = (static_cast<unsigned long long>(unixEpoch.dwHighDateTime) << 32) | unixEpoch.dwLowDateTime;
  EXPECT_EQ(ticks, 116444736000000000ULL);
  SYSTEMTIME st{};
  const FILETIME leap = FileTimeOf(2024, 2, 29, 23, 59, 58);
  ASSERT_TRUE(FileTimeToSystemTime(&leap, &st));
  EXPECT_EQ(st.wYear, 2024);
  EXPECT_EQ(st.wMonth, 2);
  EXPECT_EQ(st.wDay, 29);
  EXPECT_EQ(st.wDayOfWeek, 4);  // a Thursday
  EXPECT_EQ(st.wHour, 23);
  EXPECT_EQ(st.wMinute, 59);
  EXPECT_EQ(st.wSecond, 58);
}

TEST(Time, RejectsInvalidSystemTimes) {
  const SYSTEMTIME bad[] = {
      {2023, 2, 0, 29, 0, 0, 0, 0},
      {2024, 13, 0, 1, 0, 0, 0, 0},
      {2024, 1, 0, 1, 24, 0, 0, 0},
      {1600, 1, 0, 1, 0, 0, 0, 0},
  };
  for (const auto& st : bad) {
    FILETIME ft{};
    EXPECT_FALSE(SystemTimeToFileTime(&st, &ft)) << st.wYear << "-" << st.wMonth << "-" << st.wDay;
  }
}

TEST(Time, LocalTimeFollowsTheProcessTimeZone) {
  TimeZone tz("JST-9");
  const FILETIME utc = FileTimeOf(2020, 12, 31, 20, 0, 0);
  FILETIME local{}, back{};
  ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
  SYSTEMTIME st{};
  FileTimeToSystemTime(&local, &st);
  EXPECT_EQ(st.wYear, 2021);
  EXPECT_EQ(st.wDay, 1);
  EXPECT_EQ(st.wHour, 5);
  ASSERT_TRUE(LocalFileTimeToFileTime(&local, &back));
  EXPECT_EQ(back.dwLowDateTime, utc.dwLowDateTime);
  EXPECT_EQ(back.dwHighDateTime, utc.dwHighDateTime);
}
