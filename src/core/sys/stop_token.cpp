#include "core/sys/stop_token.h"

namespace zepa2 {

void StopToken::RequestStop() {
  {
    std::lock_guard lock(mutex_);
    stop_.store(true, std::memory_order_release);
  }
  wake_.notify_all();
}

bool StopToken::SleepFor(std::chrono::milliseconds duration) const {
  std::unique_lock lock(mutex_);
  return !wake_.wait_for(lock, duration, [this] { return stopRequested(); });
}

}  // namespace zepa2
