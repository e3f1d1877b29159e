// What the check cycle and publishing need from the window that runs them.
#pragma once

#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>

#include "core/log/log_color.h"

namespace zepa2 {

class CheckHost {
 public:
  virtual ~CheckHost() = default;

  // One activity-log line (CP932 text without the time stamp, which the host adds).
  virtual void AppendLog(const std::string& text, LogColor color) = 0;
  // A failure's line with the network library's reason beside it. The window shows the line as
  // it always has; a text-only host may print the reason after it.
  virtual void AppendFailureLog(const std::string& text, LogColor color, const std::string& reason) {
    (void)reason;
    AppendLog(text, color);
  }
  // A fixed pause between steps; real milliseconds in the program, zero in tests.
  virtual void Pause(std::chrono::milliseconds duration) = 0;
  // Wait cursor around blocking network work.
  virtual void SetBusy(bool busy) = 0;
  // Shows the page just built in pageFile (CP932) during a test run and returns when it is
  // closed; when the file cannot be read, the host tells the user so instead and returns false.
  virtual bool ShowGeneratedPage(const std::filesystem::path& pageFile) = 0;
  // The local time used for time stamps and the page's $$DAY_TIME$$.
  virtual std::time_t Now() = 0;
};

// RAII wait cursor.
class BusyScope {
 public:
  explicit BusyScope(CheckHost& host) : host_(host) { host_.SetBusy(true); }
  ~BusyScope() { host_.SetBusy(false); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  CheckHost& host_;
};

}  // namespace zepa2
