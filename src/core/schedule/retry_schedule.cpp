#include "core/schedule/retry_schedule.h"

#include <algorithm>

namespace zepa2 {

void RetrySchedule::Record(bool failed, std::chrono::seconds holdOff) {
  failures_ = failed ? failures_ + 1 : 0;
  holdOff_ = failed ? std::max(holdOff, std::chrono::seconds{0}) : std::chrono::seconds{0};
}

std::chrono::seconds RetrySchedule::NextWait(std::chrono::seconds period) const {
  if (period <= std::chrono::seconds{0}) return period;
  if (failures_ == 0) return period;
  // Doubling stops at the period: beyond it nothing changes, and the count cannot overflow.
  std::chrono::seconds wait = std::max(firstRetry_, std::chrono::seconds{1});
  for (int n = 1; n < failures_ && wait < period; ++n) wait *= 2;
  return std::max(std::min(wait, period), holdOff_);
}

}  // namespace zepa2
