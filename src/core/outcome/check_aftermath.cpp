#include "core/outcome/check_aftermath.h"

#include "core/outcome/run_status_file.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"

namespace zepa2 {

CheckAftermath AftermathOf(const CheckReport& report, const AppSettings& settings,
                           std::string previousAddress, std::string ipv6Address, std::time_t checkedAt) {
  CheckAftermath after;
  after.report = report;
  after.previousAddress = std::move(previousAddress);
  after.ipv6Address = std::move(ipv6Address);
  after.checkedAt = checkedAt;
  for (int i = 0; i < kSiteSlots; ++i) after.siteModes[i] = settings.sites[i].mode;
  after.onPublish = settings.onPublish;
  return after;
}

void FinishCheck(const CheckAftermath& after, const std::filesystem::path& statusFile,
                 const HookLogSink& log, const StopToken* stop,
                 std::chrono::milliseconds hookTimeLimit) {
  RunStatus status;
  status.report = after.report;
  status.ipv6Address = after.ipv6Address;
  status.checkedAt = after.checkedAt;
  status.siteModes = after.siteModes;
  if (const std::string error = WriteRunStatus(statusFile, status); !error.empty())
    log(Cp932(msg::kStatusWriteFailed) + Utf8ToCp932(error), log_color::kRed);
  RunPublishHook(after.onPublish, after.report, after.previousAddress, after.ipv6Address, log, stop,
                 hookTimeLimit);
}

}  // namespace zepa2
