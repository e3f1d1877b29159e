// zepa2-check: one address check with the saved settings of ZEPA2, or a foreground loop of them.
#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "cli/check_options.h"
#include "cli/console_host.h"
#include "core/address/address_check.h"
#include "core/address/check_period.h"
#include "core/address/last_address_file.h"
#include "core/publish/page_publisher.h"
#include "core/publish/page_uploader.h"
#include "core/settings/settings_load.h"
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

AddressCheckOptions StoppableBy(const StopToken& stop) {
  AddressCheckOptions options;
  options.stop = &stop;
  return options;
}

class Companion {
 public:
  Companion(const CheckOptions& options, AppSettings& settings)
      : options_(options),
        settings_(settings),
        host_(stdout),
        uploader_(host_, &stop_),
        publisher_(settings_, host_, [this] { return options_.dryRun; }, uploader_),
        check_(settings_, host_, publisher_, StoppableBy(stop_)),
        addressFile_(LastAddressFilePath()),
        owedFile_(OwedSitesFilePath()) {
    if (auto last = ReadLastAddress(addressFile_)) {
      check_.RestoreLastAddress(*last);
      check_.RestoreOwedSites(ReadOwedSites(owedFile_));
    }
  }

  // Asked for when the companion is told to end: the running check stops within a second or two.
  StopToken& stopToken() { return stop_; }

  // One check; callerLine is the line the window writes before the same kind of run, or null.
  // Like the window's timer, the repeated checks of --watch publish only a changed address, and
  // the sites a failed publish left with an old page.
  ExitStatus RunOnce(const char* callerLine, bool timed) {
    if (callerLine) host_.AppendLog(Cp932(callerLine), log_color::kBlack);
    const std::string previousAddress = check_.lastAddress();
    const std::vector<int> previousOwed = check_.owedSites();
    // A dry run is the window's test run: always forced, never recorded as published.
    const CheckReport report = check_.RunAddressCheck(!timed && (options_.force || options_.dryRun));
    const ExitStatus status = ExitStatusOf(report);
    if (options_.dryRun) {
      check_.RestoreLastAddress(previousAddress);
      check_.RestoreOwedSites(previousOwed);
      return status;
    }
    if (!Publishing(report.outcome)) return status;
    // The sites that failed are stored beside the address, so the next run serves them.
    for (const std::string& error : {WriteOwedSites(owedFile_, check_.owedSites()),
                                     WriteLastAddress(addressFile_, check_.lastAddress())}) {
      if (error.empty()) continue;
      std::fprintf(stderr, "zepa2-check: %s\n", error.c_str());
      return kExitFailed;
    }
    return status;
  }

 private:
  const CheckOptions& options_;
  AppSettings& settings_;
  ConsoleHost host_;
  StopToken stop_;
  PageUploader uploader_;
  PagePublisher publisher_;
  AddressCheck check_;
  std::filesystem::path addressFile_;
  std::filesystem::path owedFile_;

  static bool Publishing(CheckOutcome outcome) {
    return outcome == CheckOutcome::Published || outcome == CheckOutcome::PartlyPublished ||
           outcome == CheckOutcome::PublishFailed;
  }
  // A site that is not set up did not take the address either: the run failed.
  static ExitStatus ExitStatusOf(const CheckReport& report) {
    switch (report.outcome) {
      case CheckOutcome::AddressNotFound:
      case CheckOutcome::PartlyPublished:
      case CheckOutcome::PublishFailed:
        return kExitFailed;
      case CheckOutcome::Found:
      case CheckOutcome::Unchanged:
      case CheckOutcome::Published:
        return kExitOk;
    }
    return kExitFailed;
  }
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
  return Run(*options);
}
