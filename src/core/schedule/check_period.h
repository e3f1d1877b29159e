// The period of timed checks: a number of minutes, hours or days, in seconds.
#pragma once

#include <cstdint>

namespace zepa2 {

// 0 minutes → 60, 1 hours → 3600, 2 days → 86400; any other unit counts as minutes.
constexpr int SecondsPerUnit(int unit) {
  switch (unit) {
    case 1:
      return 3600;
    case 2:
      return 86400;
    default:
      return 60;
  }
}

// interval × seconds per unit; 9999 days still fits a signed 32-bit count.
constexpr std::int64_t CheckPeriodSeconds(int unit, int interval) {
  return static_cast<std::int64_t>(interval) * SecondsPerUnit(unit);
}

}  // namespace zepa2
