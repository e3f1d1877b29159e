// What follows a finished check in both programs: the status file, then the user's command after a publish.
#pragma once

#include <array>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>

#include "core/check/check_report.h"
#include "core/outcome/publish_hook.h"
#include "core/settings/app_settings.h"
#include "core/sys/stop_token.h"

namespace zepa2 {

struct CheckAftermath {
  CheckReport report;
  std::string previousAddress;  // CP932: the address published before this check
  std::string ipv6Address;      // CP932; empty when not known
  std::time_t checkedAt = 0;
  std::array<int, kSiteSlots> siteModes{};
  std::string onPublish;  // CP932: [SYSTEM] OnPublish as the check found it
};

// The aftermath of a check that ran with settings: its command line and each site's mode.
CheckAftermath AftermathOf(const CheckReport& report, const AppSettings& settings,
                           std::string previousAddress, std::string ipv6Address, std::time_t checkedAt);

// Writes the status file (a failure is logged, the command still runs), then runs the command
// after a publish. Blocks while the command runs, up to hookTimeLimit: off the UI thread.
void FinishCheck(const CheckAftermath& after, const std::filesystem::path& statusFile,
                 const HookLogSink& log, const StopToken* stop = nullptr,
                 std::chrono::milliseconds hookTimeLimit = kPublishHookTimeLimit);

}  // namespace zepa2
