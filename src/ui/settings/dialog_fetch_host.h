// The CheckHost a settings dialog lends to a blocking fetch: wait cursor and pause, no activity log.
#pragma once

#include <chrono>
#include <functional>

#include "core/address/check_host.h"

namespace zepa2::ui {

using FetchPause = std::function<void(std::chrono::milliseconds)>;

class DialogFetchHost : public CheckHost {
 public:
  explicit DialogFetchHost(FetchPause pause) : pause_(std::move(pause)) {}

  // The program's pause: blocks the calling thread for the whole duration.
  static void Sleep(std::chrono::milliseconds duration);

  void AppendLog(const std::string&, LogColor) override {}  // a dialog's test writes no log lines
  void Pause(std::chrono::milliseconds duration) override;
  void SetBusy(bool busy) override;
  void ShowGeneratedPage(const std::string&) override {}
  std::time_t Now() override;

 private:
  FetchPause pause_;
};

}  // namespace zepa2::ui
