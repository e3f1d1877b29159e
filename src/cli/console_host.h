// The headless companion's side of the check: log lines on standard output, no pauses, no window.
#pragma once

#include <cstdio>
#include <string>

#include "core/run/check_host.h"

namespace zepa2::cli {

// Each line: the level word of its colour, then the window's time stamp and text, in UTF-8.
class ConsoleHost : public CheckHost {
 public:
  explicit ConsoleHost(std::FILE* out) : out_(out) {}

  void AppendLog(const std::string& text, LogColor color) override;
  void Pause(std::chrono::milliseconds) override {}  // the pacing only helps a person watch the list
  void SetBusy(bool) override {}
  bool ShowGeneratedPage(const std::filesystem::path& pageFile) override;  // a dry run prints it
  std::time_t Now() override { return std::time(nullptr); }

  // The reason goes after the line, in brackets, so a log reader learns why a site failed.
  void AppendFailureLog(const std::string& text, LogColor color, const std::string& reason) override;

 private:
  void WriteLine(const std::string& utf8Text, LogColor color);

  std::FILE* out_;
};

}  // namespace zepa2::cli
