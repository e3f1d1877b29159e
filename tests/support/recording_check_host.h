// A CheckHost that records every log line, pause and wait-cursor change instead of showing them.
#pragma once

#include <chrono>
#include <ctime>
#include <string>
#include <vector>

#include "core/run/check_host.h"
#include "core/sys/read_file.h"

namespace zepa2::test {

struct LoggedLine {
  std::string text;  // UTF-8, converted from the CP932 the program logs
  LogColor color = 0;
  bool operator==(const LoggedLine&) const = default;
};

class RecordingCheckHost : public CheckHost {
 public:
  void AppendLog(const std::string& text, LogColor color) override;
  void Pause(std::chrono::milliseconds duration) override { pauses.push_back(duration); }
  void SetBusy(bool busy) override;
  bool ShowGeneratedPage(const std::filesystem::path& pageFile) override {
    shownPages.push_back(ReadWholeFile(pageFile).value_or("<unreadable>"));
    return true;
  }
  std::time_t Now() override { return now; }

  std::vector<LoggedLine> lines;
  std::vector<std::string> rawLines;  // the CP932 bytes as logged
  std::vector<std::chrono::milliseconds> pauses;
  std::vector<std::string> shownPages;
  int busyDepth = 0;     // 0 again once every SetBusy(true) was undone
  int busyEntries = 0;   // how often the wait cursor was switched on
  std::time_t now = 0;
};

// Prints recorded lines one per row with their colours, for readable test failures.
void PrintTo(const LoggedLine& line, std::ostream* os);

}  // namespace zepa2::test
