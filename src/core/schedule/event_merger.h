// Events that ask for a check (the network changed, the router announced an address) become one
// check: a burst of them is one, and a check that runs holds the next back until it ends.
#pragma once

#include <chrono>
#include <optional>

namespace zepa2 {

class EventMerger {
 public:
  using Clock = std::chrono::steady_clock;
  // An event this soon after the one before joins its check.
  static constexpr std::chrono::seconds kQuietTime{2};
  // A stream of events that never falls quiet still gets its check this long after the first.
  static constexpr std::chrono::seconds kLongestHold{10};

  // An event came at `now`.
  void Note(Clock::time_point now);
  // When the check for the waiting events falls due; nothing while none wait.
  std::optional<Clock::time_point> dueAt() const;
  // True once when the waiting events' check is due at `now` and no check runs; the events are
  // then taken by it.
  bool TakeDue(Clock::time_point now, bool checkRunning);
  // A check of another kind (the countdown, a hand, a signal) is starting: it sees the network as
  // the events left it, so they need no check of their own.
  void Clear() { first_.reset(); }

 private:
  std::optional<Clock::time_point> first_;
  Clock::time_point last_{};
};

}  // namespace zepa2
