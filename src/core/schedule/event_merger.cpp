#include "core/schedule/event_merger.h"

#include <algorithm>

namespace zepa2 {

void EventMerger::Note(Clock::time_point now) {
  if (!first_) first_ = now;
  last_ = now;
}

std::optional<EventMerger::Clock::time_point> EventMerger::dueAt() const {
  if (!first_) return std::nullopt;
  return std::min(last_ + kQuietTime, *first_ + kLongestHold);
}

bool EventMerger::TakeDue(Clock::time_point now, bool checkRunning) {
  const auto due = dueAt();
  if (!due || checkRunning || now < *due) return false;
  first_.reset();
  return true;
}

}  // namespace zepa2
