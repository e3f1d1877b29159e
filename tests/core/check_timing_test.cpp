// When checks come besides the countdown: events merged into one check, and the waits after failures.
#include <gtest/gtest.h>

#include <vector>

#include "core/schedule/event_merger.h"
#include "core/schedule/retry_schedule.h"

namespace zepa2 {
namespace {

using namespace std::chrono_literals;
using Clock = EventMerger::Clock;

const Clock::time_point kStart{1000s};

TEST(EventMergerTest, ABurstIsOneCheckWhenItFallsQuiet) {
  EventMerger merger;
  EXPECT_FALSE(merger.dueAt());
  EXPECT_FALSE(merger.TakeDue(kStart, false));
  for (auto at : {0ms, 300ms, 900ms, 1500ms, 1900ms}) merger.Note(kStart + at);
  EXPECT_EQ(merger.dueAt(), kStart + 1900ms + 2s);
  EXPECT_FALSE(merger.TakeDue(kStart + 3800ms, false));
  EXPECT_TRUE(merger.TakeDue(kStart + 3900ms, false));
  EXPECT_FALSE(merger.TakeDue(kStart + 3900ms, false)) << "one burst, one check";
  EXPECT_FALSE(merger.dueAt());
}

TEST(EventMergerTest, EventsThatNeverFallQuietStillGetTheirCheck) {
  EventMerger merger;
  for (auto at = 0ms; at < 30s; at += 1s) merger.Note(kStart + at);
  EXPECT_EQ(merger.dueAt(), kStart + EventMerger::kLongestHold);
}

TEST(EventMergerTest, ARunningCheckHoldsTheNextBackAndAnotherCheckTakesTheEvents) {
  EventMerger merger;
  merger.Note(kStart);
  EXPECT_FALSE(merger.TakeDue(kStart + 5s, true));
  EXPECT_TRUE(merger.TakeDue(kStart + 9s, false)) << "due as soon as the running check ended";

  merger.Note(kStart + 20s);
  merger.Clear();  // the countdown's check started meanwhile
  EXPECT_FALSE(merger.TakeDue(kStart + 30s, false));
  merger.Note(kStart + 31s);  // an event during that check wants a check after it
  EXPECT_TRUE(merger.TakeDue(kStart + 33s, false));
}

TEST(RetryScheduleTest, FailuresDoubleTheWaitUpToThePeriodAndASuccessEndsIt) {
  const auto day = std::chrono::seconds(24h);
  RetrySchedule schedule;
  EXPECT_EQ(schedule.NextWait(day), day);
  std::vector<std::chrono::seconds> waits;
  for (int n = 0; n < 13; ++n) {
    schedule.Record(true);
    waits.push_back(schedule.NextWait(day));
  }
  const std::vector<std::chrono::seconds> expected = {1min, 2min, 4min, 8min, 16min, 32min, 64min, 128min,
                                                      256min, 512min, 1024min, day, day};
  EXPECT_EQ(waits, expected);
  schedule.Record(false);
  EXPECT_EQ(schedule.NextWait(day), day);
  schedule.Record(true);
  EXPECT_EQ(schedule.NextWait(day), 1min) << "a success starts the doubling over";

  for (int n = 0; n < 100'000; ++n) schedule.Record(true);  // weeks of outage: no overflow
  EXPECT_EQ(schedule.NextWait(day), day);
}

TEST(RetryScheduleTest, ShortPeriodsCapTheWaitAndNoPeriodStaysNone) {
  struct Case {
    std::chrono::seconds period;
    int failures;
    std::chrono::seconds wait;
  };
  const Case cases[] = {{10min, 1, 1min}, {10min, 4, 8min}, {10min, 5, 10min}, {30s, 1, 30s},
                        {0s, 0, 0s},      {0s, 3, 0s}};
  for (const Case& c : cases) {
    RetrySchedule schedule;
    for (int n = 0; n < c.failures; ++n) schedule.Record(true);
    EXPECT_EQ(schedule.NextWait(c.period), c.wait) << c.period.count() << "s after " << c.failures;
  }
  RetrySchedule quick(1s);
  for (int n = 0; n < 3; ++n) quick.Record(true);
  EXPECT_EQ(quick.NextWait(1h), 4s);
}

TEST(RetryScheduleTest, ATargetsOwnHoldIsObeyedEvenPastThePeriod) {
  RetrySchedule schedule;
  schedule.Record(true, 30min);
  EXPECT_EQ(schedule.NextWait(24h), 30min) << "longer than the first back-off";
  EXPECT_EQ(schedule.NextWait(10min), 30min) << "longer than the period";
  schedule.Record(true, 30s);
  EXPECT_EQ(schedule.NextWait(24h), 2min) << "a shorter hold does not hurry the back-off";
  schedule.Record(false, 30min);
  EXPECT_EQ(schedule.NextWait(24h), 24h) << "a success holds nothing back";
}

}  // namespace
}  // namespace zepa2
