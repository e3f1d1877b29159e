// zepa2-check: one address check with the saved settings of ZEPA2, or a foreground loop of them.
#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>

#include "cli/check_options.h"
#include "cli/console_host.h"
#include "core/address/address_check.h"
#include "core/address/check_period.h"
#include "core/address/last_address_file.h"
#include "core/address/run_status_file.h"
#include "core/publish/page_publisher.h"
#include "core/publish/page_uploader.h"
#include "core/settings/settings_load.h"
#include "core/sys/read_file.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"

namespace zepa2::cli {
namespace {

enum ExitStatus { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

// The settings file must exist and be readable: a companion running on defaults would publish
// nothing useful and say so nowhere.
bool LoadCompanionSettings(AppSettings& settings, const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) {
    std::fprintf(stderr, "zepa2-check: no settings file at %s; set ZEPA2 up in its window first.\n",
                 file.c_str());
    return false;
  }
  if (!std::ifstream(file, std::ios::binary)) {
    std::fprintf(stderr, "zepa2-check: cannot read the settings file %s.\n", file.c_str());
    return false;
  }
  settings = AppSettings{};
  const SettingsLoadReport report = LoadSettingsWithReport(settings, file, [] {
    std::fprintf(stderr, "zepa2-check: %s\n", msg::kBadPasswordChar);
  });
  if (report.hadUnreadableLines) {
    std::fprintf(stderr, "zepa2-check: some lines of %s could not be read; their defaults are used.\n",
                 file.c_str());
  }
  return true;
}

class Companion {
 public:
  Companion(const CheckOptions& options, AppSettings& settings)
      : options_(options),
        settings_(settings),
        host_(stdout),
        uploader_(host_),
        publisher_(settings_, host_, [this] { return options_.dryRun; }, uploader_),
        check_(settings_, host_, publisher_),
        stateFile_(LastAddressFilePath()) {
    if (auto last = ReadLastAddress(stateFile_)) check_.RestoreLastAddress(*last);
  }

  // One check; callerLine is the line the window writes before the same kind of run, or null.
  // Like the window's timer, the repeated checks of --watch publish only a changed address.
  ExitStatus RunOnce(const char* callerLine, bool timed) {
    host_.ResetFailure();
    if (callerLine) host_.AppendLog(Cp932(callerLine), log_color::kBlack);
    const std::string previous = check_.lastAddress();
    // A dry run is the window's test run: always forced, never recorded as published.
    const CheckOutcome outcome =
        check_.RunAddressCheck(!timed && (options_.force || options_.dryRun));
    if (outcome == CheckOutcome::AddressNotFound) return kExitFailed;
    if (outcome != CheckOutcome::Published) return host_.sawFailure() ? kExitFailed : kExitOk;

    // Unlike the window, which never retries an address it tried once, the companion records an
    // address only when every site took it, so the next run tries a failed site again.
    if (options_.dryRun || host_.sawFailure()) {
      check_.RestoreLastAddress(previous);
      return host_.sawFailure() ? kExitFailed : kExitOk;
    }
    if (const std::string error = WriteLastAddress(stateFile_, check_.lastAddress()); !error.empty()) {
      std::fprintf(stderr, "zepa2-check: %s\n", error.c_str());
      return kExitFailed;
    }
    return kExitOk;
  }

 private:
  const CheckOptions& options_;
  AppSettings& settings_;
  ConsoleHost host_;
  PageUploader uploader_;
  PagePublisher publisher_;
  AddressCheck check_;
  std::filesystem::path stateFile_;
};

// Waits up to `seconds` for SIGTERM or SIGINT (blocked, so they stay pending during a check).
bool WaitForStop(const sigset_t& stopSignals, std::int64_t seconds) {
  while (seconds > 0) {
    // sigtimedwait takes a time_t; wait in slices of at most a day.
    const std::int64_t slice = seconds > 86400 ? 86400 : seconds;
    timespec timeout{static_cast<std::time_t>(slice), 0};
    if (sigtimedwait(&stopSignals, nullptr, &timeout) > 0) return true;
    if (errno == EAGAIN) seconds -= slice;
  }
  return false;
}

// Prints the last run as the file holds it, or as a table; 1 when there is none to print.
int PrintStatus(bool human) {
  const std::filesystem::path file = RunStatusFilePath();
  const std::optional<std::string> text = ReadWholeFile(file);
  if (!text) {
    std::fprintf(stderr, "%s (%s)\n", msg::kStatusNone, file.c_str());
    return kExitFailed;
  }
  if (!human) {
    std::fwrite(text->data(), 1, text->size(), stdout);
    return kExitOk;
  }
  const std::optional<std::string> table = HumanRunStatus(*text);
  if (!table) {
    std::fprintf(stderr, "%s (%s)\n", msg::kStatusUnreadable, file.c_str());
    return kExitFailed;
  }
  std::fputs(table->c_str(), stdout);
  return kExitOk;
}

int Run(const CheckOptions& options) {
  const std::filesystem::path settingsFile = SettingsFilePath();
  AppSettings settings;
  if (!LoadCompanionSettings(settings, settingsFile)) return kExitUsage;

  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  if (options.watch) sigprocmask(SIG_BLOCK, &stopSignals, nullptr);

  Companion companion(options, settings);
  const char* firstLine = options.dryRun ? msg::kRunAsTest : options.force ? msg::kRunManually : nullptr;
  ExitStatus status = companion.RunOnce(firstLine, false);
  if (!options.watch) return status;

  for (;;) {
    const std::int64_t period = CheckPeriodSeconds(settings.intervalUnit, settings.interval);
    if (period <= 0) return status;
    if (WaitForStop(stopSignals, period)) return kExitOk;
    // The window may have changed the settings meanwhile.
    if (!LoadCompanionSettings(settings, settingsFile)) return kExitUsage;
    status = companion.RunOnce(msg::kRunByTimer, true);
  }
}

}  // namespace
}  // namespace zepa2::cli

int main(int argc, char** argv) {
  using namespace zepa2::cli;
  std::string error;
  const auto options = ParseCheckOptions(argc, argv, error);
  if (!options) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return kExitUsage;
  }
  if (options->help) {
    std::fputs(kCheckUsage, stdout);
    return kExitOk;
  }
  if (options->version) {
    std::printf("zepa2-check %s\n", ZEPA2_VERSION);
    return kExitOk;
  }
  if (options->status) return PrintStatus(options->human);
  return Run(*options);
}
