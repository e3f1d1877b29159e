// What follows a finished check in both programs: the status file, then the user's command after a publish.
#pragma once

#include <chrono>
#include <filesystem>

#include "core/run/check_report.h"
#include "core/outcome/publish_hook.h"
#include "core/settings/app_settings.h"
#include "core/sys/stop_token.h"

namespace zepa2 {

// Writes the status file of a run made with settings (a failure is logged, the command still
// runs) and the metrics file when one is set, then runs the command after a publish. Blocks
// while the command runs, up to
// hookTimeLimit: off the UI thread. False when the status file could not be written.
bool FinishCheck(const CheckReport& report, const AppSettings& settings,
                 const std::filesystem::path& statusFile, const HookLogSink& log,
                 const StopToken* stop = nullptr,
                 std::chrono::milliseconds hookTimeLimit = kPublishHookTimeLimit);

}  // namespace zepa2
