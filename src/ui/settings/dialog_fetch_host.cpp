#include "ui/settings/dialog_fetch_host.h"

#include <ctime>

namespace zepa2::ui {

PauseFunction StoppablePause(const PauseFunction& testPause, const StopToken& stop) {
  if (testPause) return testPause;
  return [&stop](std::chrono::milliseconds duration) { stop.SleepFor(duration); };
}

void DialogFetchHost::Pause(std::chrono::milliseconds duration) { StoppablePause(pause_, stop_)(duration); }

std::time_t DialogFetchHost::Now() { return std::time(nullptr); }

}  // namespace zepa2::ui
