// The period of timed checks and the unit button's cycle and captions.
#include "core/schedule/check_period.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "core/schedule/interval_unit.h"

namespace zepa2 {
namespace {

TEST(CheckPeriodTest, UnitsGiveTheirSecondsAndUnknownUnitsCountAsMinutes) {
  struct Case {
    int unit;
    int interval;
    std::int64_t seconds;
  };
  const Case cases[] = {
      {0, 1, 60},     {1, 30, 108000},          {2, 1, 86400}, {0, 0, 0},
      {3, 2, 120},    {-1, 2, 120},             {INT_MAX, 1, 60},
      {2, 9999, 863913600},  // the longest period the field allows still fits 32 bits
      {2, INT_MAX, std::int64_t{INT_MAX} * 86400},  // a hand-edited file must not overflow
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckPeriodSeconds(c.unit, c.interval), c.seconds) << c.unit << ' ' << c.interval;
  }
  static_assert(CheckPeriodSeconds(2, 9999) <= INT32_MAX);
}

TEST(IntervalUnitTest, ButtonCyclesMinutesHoursDaysAndKeepsItsCaptionForUnknownUnits) {
  EXPECT_EQ(NextUnit(0), 1);
  EXPECT_EQ(NextUnit(1), 2);
  EXPECT_EQ(NextUnit(2), 0);
  EXPECT_EQ(NextUnit(7), 0);   // a stored unit past days starts over at minutes
  EXPECT_EQ(NextUnit(-2), -1);
  EXPECT_STREQ(UnitCaption(0), "分");
  EXPECT_STREQ(UnitCaption(1), "時");
  EXPECT_STREQ(UnitCaption(2), "日");
  EXPECT_EQ(UnitCaption(3), nullptr);
  EXPECT_EQ(UnitCaption(-1), nullptr);
}

}  // namespace
}  // namespace zepa2
