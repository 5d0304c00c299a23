// The date switches jo and job: local time, six or twelve digits, the
// two-digit year rule, other lengths ignored, invalid dates raising.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <time.h>

#include <cstdlib>

#include "FilterFixture.h"
#include "archives/Exceptions.h"

using namespace vx;
using filtertest::FilterTest;
using filtertest::Win;

namespace {

// Files last written at known UTC instants. In JST (UTC+9) y1999 lies on
// 1 January 1999 while in UTC it is still 1998.
struct Stamp {
  const char* name;
  int y, mo, d, h, mi, s;  // UTC
};
const Stamp kStamps[] = {
    {"y1979", 1979, 12, 31, 12, 0, 0},  // 21:00 JST, 31 Dec 1979
    {"y1980", 1980, 1, 1, 12, 0, 0},
    {"y1998", 1998, 12, 31, 14, 59, 59},  // 23:59:59 JST, 31 Dec 1998
    {"y1999", 1998, 12, 31, 15, 0, 0},    // 00:00:00 JST, 1 Jan 1999
    {"noon-", 2000, 1, 1, 2, 59, 59},     // 11:59:59 JST
    {"noon", 2000, 1, 1, 3, 0, 0},        // 12:00:00 JST
    {"y2078", 2078, 12, 31, 12, 0, 0},    // 21:00 JST, 31 Dec 2078
    {"y2079", 2079, 1, 1, 12, 0, 0},
};

class FilterDateTest : public FilterTest {
 protected:
  void SetUp() override {
    const char* tz = std::getenv("TZ");
    hadTz = tz != nullptr;
    if (hadTz) oldTz = tz;
    setenv("TZ", "JST-9", 1);
    tzset();
    for (const Stamp& s : kStamps) {
      const std::string path = "d/" + std::string(s.name) + ".txt";
      drive.WriteFile(path, "x");
      struct tm t {};
      t.tm_year = s.y - 1900;
      t.tm_mon = s.mo - 1;
      t.tm_mday = s.d;
      t.tm_hour = s.h;
      t.tm_min = s.mi;
      t.tm_sec = s.s;
      const struct timespec times[2] = {{timegm(&t), 0}, {timegm(&t), 0}};
      ASSERT_EQ(utimensat(AT_FDCWD, (drive.Path() + "/" + path).c_str(), times, 0), 0);
    }
  }
  void TearDown() override {
    if (hadTz)
      setenv("TZ", oldTz.c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }

  // The stamps the filter keeps, by name.
  std::vector<std::string> Kept() {
    std::vector<std::string> names;
    for (const std::string& path : Filter({Win("C:/d/*.txt")})) {
      const std::string file = path.substr(path.rfind('\\') + 1);
      names.push_back(file.substr(0, file.size() - 4));
    }
    return names;
  }

  bool hadTz = false;
  std::string oldTz;
};

const std::vector<std::string> kAll = {"noon-", "noon", "y1979", "y1980", "y1998",
                                       "y1999", "y2078", "y2079"};

}  // namespace

struct BoundCase {
  const char* name;
  std::string jo;
  std::string job;
  std::vector<std::string> kept;
};
void PrintTo(const BoundCase& c, std::ostream* os) { *os << c.name; }

class FilterBoundTest : public FilterDateTest, public ::testing::WithParamInterface<BoundCase> {};

TEST_P(FilterBoundTest, KeepsFilesWithinTheBoundsInLocalTime) {
  options.jo = GetParam().jo;
  options.job = GetParam().job;
  EXPECT_EQ(Kept(), GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, FilterBoundTest,
    ::testing::Values(
        BoundCase{"OnOrAfter1999", "990101", NoValue,
                  {"noon-", "noon", "y1999", "y2078", "y2079"}},
        BoundCase{"OnOrAfter1999TwelveDigits", "990101000000", NoValue,
                  {"noon-", "noon", "y1999", "y2078", "y2079"}},
        BoundCase{"BeforeNoon2000", NoValue, "000101120000",
                  {"noon-", "y1979", "y1980", "y1998", "y1999"}},
        BoundCase{"Between", "990101", "000101120000", {"noon-", "y1999"}},
        BoundCase{"Year80Is1980", "800101", NoValue,
                  {"noon-", "noon", "y1980", "y1998", "y1999", "y2078", "y2079"}},
        BoundCase{"Year79Is2079", "790101", NoValue, {"y2079"}},
        BoundCase{"Before2079", NoValue, "790101",
                  {"noon-", "noon", "y1979", "y1980", "y1998", "y1999", "y2078"}},
        BoundCase{"FiveDigitsIgnored", "99010", "99010", kAll},
        BoundCase{"SevenDigitsIgnored", "9901011", NoValue, kAll},
        BoundCase{"EightDigitsIgnored", "19990101", "20000101", kAll},
        BoundCase{"EmptyIgnored", "", "", kAll},
        BoundCase{"NonDigitsOfOtherLengthIgnored", "x", "abcdefghijk", kAll}),
    [](const ::testing::TestParamInfo<BoundCase>& info) { return info.param.name; });

class FilterInvalidDateTest : public FilterDateTest,
                              public ::testing::WithParamInterface<std::pair<std::string, std::string>> {};

TEST_P(FilterInvalidDateTest, RaisesAndLeavesTheOptionsAlone) {
  options.r = 2;
  options.p = 0;
  options.jo = GetParam().first;
  options.job = GetParam().second;
  EXPECT_THROW(Filter({Win("C:/d")}), EConvertError);
  EXPECT_EQ(used.r, 2);
  EXPECT_EQ(used.p, 0);
  EXPECT_EQ(used.jo, GetParam().first);
  EXPECT_EQ(used.job, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, FilterInvalidDateTest,
    ::testing::Values(std::make_pair(std::string("991301"), NoValue),   // month 13
                      std::make_pair(std::string("990132"), NoValue),   // day 32
                      std::make_pair(std::string("9a0101"), NoValue),   // not a number
                      std::make_pair(std::string("-10101"), NoValue),   // a sign is no digit
                      std::make_pair(std::string(" 90101"), NoValue),   // nor a blank
                      std::make_pair(NoValue, std::string("000230")),   // 30 February
                      std::make_pair(NoValue, std::string("990101250000")),  // hour 25
                      std::make_pair(NoValue, std::string("990101126000")),  // minute 60
                      std::make_pair(std::string("990101"), std::string("99010112000x"))));
