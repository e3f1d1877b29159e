// The headless companion's side of the check: log lines on standard output, no pauses, no window.
#pragma once

#include <cstdio>

#include "core/address/check_host.h"

namespace zepa2::cli {

// Each line: the level word of its colour, then the window's time stamp and text, in UTF-8.
class ConsoleHost : public CheckHost {
 public:
  explicit ConsoleHost(std::FILE* out) : out_(out) {}

  void AppendLog(const std::string& text, LogColor color) override;
  void Pause(std::chrono::milliseconds) override {}  // the pacing only helps a person watch the list
  void SetBusy(bool) override {}
  void ShowGeneratedPage(const std::filesystem::path& pageFile) override;  // a dry run prints it
  std::time_t Now() override { return std::time(nullptr); }

  // Whether a failure (red) line was written since the last Reset.
  bool sawFailure() const { return sawFailure_; }
  void ResetFailure() { sawFailure_ = false; }

 private:
  std::FILE* out_;
  bool sawFailure_ = false;
};

}  // namespace zepa2::cli
