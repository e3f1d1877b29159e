#include "core/notify/notice_http.h"

#include <algorithm>

#include "core/text/cp932.h"
#include "core/text/notify_messages.h"

namespace zepa2 {

std::string NoticeFailureReason(std::chrono::steady_clock::time_point start, const NoticeLimits& limits,
                                const net::Outcome& outcome) {
  if (outcome.kind == net::OutcomeKind::Cancelled || (limits.stop && limits.stop->stopRequested()))
    return Cp932(msg::kNotifyStopped);
  // Our deadline ends a sending as an aborted transfer; libcurl's own time-out may come a moment before.
  const auto slack = std::min<std::chrono::milliseconds>(limits.deadline / 10, kStopCheck);
  if (outcome.kind == net::OutcomeKind::TimedOut ||
      std::chrono::steady_clock::now() - start + slack >= limits.deadline)
    return Cp932(msg::kNotifyTimedOut);
  if (outcome.key != net::KeyTrouble::None)
    return Cp932(msg::kNotifyKeyRefused) + Cp932("（") + Utf8ToCp932(outcome.reason) + Cp932("）");
  return Utf8ToCp932(outcome.reason);
}

std::optional<std::string> SendNoticeRequest(const std::string& url, const std::string& pin,
                                             std::optional<net::HttpPost> post, const NoticeLimits& limits) {
  net::HttpGetOptions options;
  options.totalTimeout = limits.deadline;
  options.connectTimeout = std::min(options.connectTimeout, limits.deadline);
  options.stop = limits.stop;
  options.pin = pin;
  options.post = std::move(post);
  options.maxBodyBytes = 64u << 10;  // an answer is only read for its status
  const auto start = std::chrono::steady_clock::now();
  const net::HttpGetResult result = net::HttpRequestUrl(url, std::nullopt, options);
  if (result.answered() && result.status >= 200 && result.status < 300) return std::nullopt;
  if (result.answered()) return Cp932(msg::kNotifyHttpStatus) + std::to_string(result.status);
  return NoticeFailureReason(start, limits, result.outcome);
}

}  // namespace zepa2
