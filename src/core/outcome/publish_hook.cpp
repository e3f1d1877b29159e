#include "core/outcome/publish_hook.h"

#include "core/run/check_report_text.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"

namespace zepa2 {
namespace {

// The lines that tell how the command ended.
void LogHookEnd(const ShellCommandResult& result, std::chrono::milliseconds timeLimit,
                const HookLogSink& log) {
  const std::string number = std::to_string(result.status);
  LogColor color = log_color::kRed;
  std::string text;
  switch (result.end) {
    case ShellCommandEnd::Exited:
      text = msg::kHookExited + number + msg::kHookClose;
      if (result.status == 0) color = log_color::kGreen;
      break;
    case ShellCommandEnd::Signalled:
      text = msg::kHookSignalled + number + msg::kHookClose;
      break;
    case ShellCommandEnd::TimedOut:
      text = msg::kHookTimedOut +
             std::to_string(std::chrono::duration_cast<std::chrono::seconds>(timeLimit).count()) +
             msg::kHookSecondsClose;
      break;
    case ShellCommandEnd::Stopped:
      text = msg::kHookStopped;
      break;
    case ShellCommandEnd::NotStarted:
      text = msg::kHookNotStarted + result.reason + msg::kHookClose;
      break;
  }
  log(Cp932(text), color);
  if (!result.firstErrorLine.empty())
    log(Cp932(msg::kHookErrorOutput) + Utf8ToCp932(result.firstErrorLine), color);
}

}  // namespace

std::vector<EnvironmentEntry> PublishHookEnvironment(const CheckReport& report) {
  const std::string& ipv6Address = report.state.lastIpv6Address;
  std::string failed;
  for (int number : FailedSiteNumbers(report)) failed += (failed.empty() ? "" : " ") + std::to_string(number);
  for (const DnsTargetReport& target : report.dnsTargets)
    if (DnsTargetFailed(target.result))
      failed += (failed.empty() ? "dns" : " dns") + std::to_string(target.number);
  std::optional<std::string> ipv6;
  if (!ipv6Address.empty()) ipv6 = Cp932ToUtf8(ipv6Address);
  return {
      {"ZEPA2_ADDRESS", Cp932ToUtf8(report.address)},
      {"ZEPA2_PREVIOUS_ADDRESS", Cp932ToUtf8(report.previousAddress)},
      {"ZEPA2_IPV6_ADDRESS", ipv6},
      {"ZEPA2_RESULT", std::string(PublishResultWord(report.outcome))},
      {"ZEPA2_FAILED_SITES", failed},
  };
}

bool RunPublishHook(const std::string& commandLine, const CheckReport& report, const HookLogSink& log,
                    const StopToken* stop, std::chrono::milliseconds timeLimit) {
  if (commandLine.empty() || !IsPublishOutcome(report.outcome)) return false;
  log(Cp932(msg::kHookStart), log_color::kBlack);
  ShellCommandOptions options;
  options.environment = PublishHookEnvironment(report);
  options.timeLimit = timeLimit;
  options.stop = stop;
  LogHookEnd(RunShellCommand(Cp932ToUtf8(commandLine), options), timeLimit, log);
  return true;
}

}  // namespace zepa2
