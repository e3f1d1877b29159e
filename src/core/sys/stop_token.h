// A run's stop request, shared by the thread that runs network work and the one that may end it.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace zepa2 {

// How long a blocking wait of our own (a socket poll) goes before it looks at the stop request
// again: a stopped step ends within this.
inline constexpr std::chrono::milliseconds kStopCheck{100};

class StopToken {
 public:
  StopToken() = default;
  StopToken(const StopToken&) = delete;
  StopToken& operator=(const StopToken&) = delete;

  // Asks the run to end; wakes a pause that is waiting. Safe from any thread, any number of times.
  void RequestStop();
  bool stopRequested() const { return stop_.load(std::memory_order_acquire); }
  // Clears the request before the next run.
  void Reset() { stop_.store(false, std::memory_order_release); }

  // Sleeps for duration unless a stop is asked for first; false when woken by a stop.
  bool SleepFor(std::chrono::milliseconds duration) const;

 private:
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  mutable std::condition_variable wake_;
};

}  // namespace zepa2
