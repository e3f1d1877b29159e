// Time stamps and the size limit of activity-log lines.
#include "core/log/log_stamp.h"

#include <gtest/gtest.h>

#include <ctime>

#include "support/temp_dir.h"

namespace zepa2 {
namespace {

// Local time is what the stamp shows; fix the zone so the expected texts hold anywhere.
class LogStampTest : public ::testing::Test {
 protected:
  LogStampTest() : tz_("TZ", "UTC") { tzset(); }
  ~LogStampTest() override { tzset(); }
  test::ScopedEnv tz_;
};

TEST_F(LogStampTest, PadsEveryFieldAndUsesTheTwentyFourHourClock) {
  EXPECT_EQ(FormatLogStamp(1704164645), "2024/01/02 03:04:05::");  // 2024-01-02 03:04:05
  EXPECT_EQ(FormatLogStamp(1735689599), "2024/12/31 23:59:59::");
}

TEST_F(LogStampTest, LineKeepsTheMessageBytesUnchanged) {
  const std::string cp932("\x90\xb3\x8f\xed\x95\x5c");  // ends on a 0x5C trail byte
  EXPECT_EQ(MakeLogLine(0, cp932), "1970/01/01 00:00:00::" + cp932);
}

TEST(LogLimitTest, DropsTenOnlyWhenTheCountReachesOneThousand) {
  EXPECT_EQ(LogLinesToDrop(0), 0);
  EXPECT_EQ(LogLinesToDrop(999), 0);
  EXPECT_EQ(LogLinesToDrop(1000), 10);
  EXPECT_EQ(LogLinesToDrop(1001), 10);
}

}  // namespace
}  // namespace zepa2
