// The user's command run after every publish ([SYSTEM] OnPublish), told the outcome through its environment.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "core/run/check_report.h"
#include "core/log/log_color.h"
#include "core/sys/shell_command.h"
#include "core/sys/stop_token.h"

namespace zepa2 {

inline constexpr std::chrono::milliseconds kPublishHookTimeLimit{30'000};

// ZEPA2_ADDRESS, ZEPA2_PREVIOUS_ADDRESS, ZEPA2_IPV6_ADDRESS (removed when the run left none),
// ZEPA2_RESULT ("ok", "partial", "failed") and ZEPA2_FAILED_SITES (numbers, then the failed DNS
// targets as dns1…dns5, space-separated),
// in UTF-8. Addresses are CP932 as everywhere in the check.
std::vector<EnvironmentEntry> PublishHookEnvironment(const CheckReport& report);

// One log line: CP932 text and its colour.
using HookLogSink = std::function<void(const std::string& text, LogColor color)>;

// After a publish (IsPublishOutcome) and with a command line set (CP932, as in the settings),
// runs it and logs its start and end. Blocks until it ends or the time limit passes: call it off
// the UI thread. The end is logged as its exit status, then its first error line if any. Returns
// whether the command ran.
bool RunPublishHook(const std::string& commandLine, const CheckReport& report, const HookLogSink& log,
                    const StopToken* stop = nullptr,
                    std::chrono::milliseconds timeLimit = kPublishHookTimeLimit);

}  // namespace zepa2
