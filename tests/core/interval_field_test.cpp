// The interval the user types must be a whole number from 0 to 9999.
#include "core/schedule/interval_field.h"

#include <gtest/gtest.h>

namespace zepa2 {
namespace {

TEST(IntervalFieldTest, AcceptsWholeNumbersInRangeOnly) {
  struct Case {
    const char* text;
    std::optional<int> value;
  };
  const Case cases[] = {
      {"0", 0},          {"30", 30},       {"9999", 9999},   {" 12 ", 12},    {"+7", 7},
      {"-0", 0},         {"007", 7},       {"10000", {}},    {"-1", {}},      {"abc", {}},
      {"", {}},          {" ", {}},        {"1.5", {}},      {"12a", {}},     {"+", {}},
      {"99999999999999999999", {}},        {"\x82\x50", {}},  // full-width digit one
  };
  for (const Case& c : cases) EXPECT_EQ(ParseIntervalField(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
}  // namespace zepa2
