#include "core/outcome/check_aftermath.h"

#include "core/outcome/run_status_file.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"

namespace zepa2 {

bool FinishCheck(const CheckReport& report, const AppSettings& settings,
                 const std::filesystem::path& statusFile, const HookLogSink& log, const StopToken* stop,
                 std::chrono::milliseconds hookTimeLimit) {
  const std::string error = WriteRunStatus(statusFile, report, settings);
  if (!error.empty()) log(Cp932(msg::kStatusWriteFailed) + Utf8ToCp932(error), log_color::kRed);
  RunPublishHook(settings.onPublish, report, log, stop, hookTimeLimit);
  return error.empty();
}

}  // namespace zepa2
