#include <gtest/gtest.h>

#include "ui/main/shown_run_settings.h"

namespace zepa2 {
namespace {

TEST(ShownRunSettings, EachOfTheFiveCountsButRunAtStartDoesNot) {
  AppSettings applied;
  const ShownRunSettings same = ShownRunSettings::From(applied);
  EXPECT_FALSE(HasUnappliedChanges(same, applied));

  for (int ShownRunSettings::*field : {&ShownRunSettings::interval, &ShownRunSettings::intervalUnit}) {
    ShownRunSettings shown = same;
    shown.*field += 1;
    EXPECT_TRUE(HasUnappliedChanges(shown, applied));
  }
  for (bool ShownRunSettings::*field : {&ShownRunSettings::startMinimized, &ShownRunSettings::useLocalAddress,
                                        &ShownRunSettings::decimalAddress}) {
    ShownRunSettings shown = same;
    shown.*field = !(shown.*field);
    EXPECT_TRUE(HasUnappliedChanges(shown, applied));
  }
  applied.runAtStart = 1;
  EXPECT_FALSE(HasUnappliedChanges(same, applied));
}

}  // namespace
}  // namespace zepa2
