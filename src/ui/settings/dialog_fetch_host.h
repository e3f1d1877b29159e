// The CheckHost a settings dialog lends to a fetch on its worker thread: a pause that a stop ends, no log.
#pragma once

#include <chrono>
#include <functional>

#include "core/run/check_host.h"
#include "core/sys/pause.h"
#include "core/sys/stop_token.h"

namespace zepa2::ui {

// Lives on the worker thread of the step: it touches no widget (the step itself shows the wait
// cursor).
class DialogFetchHost : public CheckHost {
 public:
  // pause: a test's pause; without one the host sleeps until the time is up or stop is asked for.
  DialogFetchHost(PauseFunction pause, const StopToken& stop) : pause_(std::move(pause)), stop_(stop) {}

  void AppendLog(const std::string&, LogColor) override {}  // a dialog's test writes no log lines
  void Pause(std::chrono::milliseconds duration) override;
  void SetBusy(bool) override {}
  bool ShowGeneratedPage(const std::filesystem::path&) override { return false; }
  std::time_t Now() override;

 private:
  PauseFunction pause_;
  const StopToken& stop_;
};

// The pause a dialog's step takes: a test's own, else a sleep that stop cuts short.
PauseFunction StoppablePause(const PauseFunction& testPause, const StopToken& stop);

}  // namespace zepa2::ui
