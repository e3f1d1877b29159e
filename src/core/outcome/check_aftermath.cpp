#include "core/outcome/check_aftermath.h"

#include "core/outcome/metrics_file.h"
#include "core/outcome/run_status_file.h"
#include "core/publish/local_path.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"

namespace zepa2 {

bool FinishCheck(const CheckReport& report, const AppSettings& settings,
                 const std::filesystem::path& statusFile, const HookLogSink& log, const StopToken* stop,
                 std::chrono::milliseconds hookTimeLimit) {
  const FileWriteResult status = WriteRunStatus(statusFile, report, settings);
  if (!status.ok()) log(Cp932(msg::kStatusWriteFailed) + Utf8ToCp932(status.reason()), log_color::kRed);
  if (!settings.metricsFile.empty()) {
    const FileWriteResult metrics = WriteMetricsFile(LocalPath(settings.metricsFile), report, settings);
    if (!metrics.ok()) log(Cp932(msg::kMetricsWriteFailed) + Utf8ToCp932(metrics.reason()), log_color::kRed);
  }
  RunPublishHook(settings.onPublish, report, log, stop, hookTimeLimit);
  return status.ok();
}

}  // namespace zepa2
