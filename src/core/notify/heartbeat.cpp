#include "core/notify/heartbeat.h"

#include "core/run/check_report_text.h"
#include "core/text/cp932.h"
#include "core/text/notify_messages.h"

namespace zepa2 {

std::string PingUrlFor(const std::string& url, bool failed) {
  if (!failed) return url;
  const std::size_t tail = url.find_first_of("?#", url.find("://") + 3);
  std::string path = url.substr(0, tail);
  if (path.ends_with('/')) path.pop_back();
  return path + "/fail" + (tail == std::string::npos ? "" : url.substr(tail));
}

void SendHeartbeat(const NotifyChannels& channels, const CheckReport& report, const NoticeLog& log,
                   const NoticeLimits& limits) {
  if (channels.pingUrl.empty() || report.outcome == CheckOutcome::Found) return;
  const std::string url = PingUrlFor(Cp932ToUtf8(channels.pingUrl), CheckFailed(report));
  // The URL is the monitor's secret: the log says only how the ping went.
  if (auto problem = SendNoticeRequest(url, "", std::nullopt, limits))
    log(Cp932(msg::kPingFailed) + *problem, log_color::kRed);
  else log(Cp932(msg::kPingSent), log_color::kBlack);
}

}  // namespace zepa2
