// The CheckHost a settings dialog lends to a blocking fetch: wait cursor and pause, no activity log.
#pragma once

#include <chrono>
#include <functional>

#include "core/address/check_host.h"
#include "core/sys/pause.h"

namespace zepa2::ui {

class DialogFetchHost : public CheckHost {
 public:
  explicit DialogFetchHost(PauseFunction pause) : pause_(std::move(pause)) {}

  void AppendLog(const std::string&, LogColor) override {}  // a dialog's test writes no log lines
  void Pause(std::chrono::milliseconds duration) override;
  void SetBusy(bool busy) override;
  bool ShowGeneratedPage(const std::filesystem::path&) override { return false; }
  std::time_t Now() override;

 private:
  PauseFunction pause_;
};

}  // namespace zepa2::ui
