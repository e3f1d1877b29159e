// How long after a check the next timed one comes: the period after a check that did its work;
// after failures 1, 2, 4, 8 … minutes, never longer than the period; and never sooner than a
// target asked to be tried again.
#pragma once

#include <chrono>

namespace zepa2 {

class RetrySchedule {
 public:
  // firstRetry: the wait after the first failure in a row, doubled after each one more.
  explicit RetrySchedule(std::chrono::seconds firstRetry = std::chrono::minutes(1))
      : firstRetry_(firstRetry) {}

  // A check ended. failed: it found no address or left a site or target owed. holdOff: the wait
  // a target asked for before it is tried again (zero when none did).
  void Record(bool failed, std::chrono::seconds holdOff = {});

  // The wait from the end of the last check to the next timed one. A period of zero or less
  // means no timed checks, and stays so.
  std::chrono::seconds NextWait(std::chrono::seconds period) const;

  int failuresInARow() const { return failures_; }

 private:
  std::chrono::seconds firstRetry_;
  int failures_ = 0;
  std::chrono::seconds holdOff_{};
};

}  // namespace zepa2
