// One HTTP request of a notice channel (a webhook's POST, a heartbeat's GET) within the channel's limits.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "core/log/log_color.h"
#include "core/net/http_get.h"
#include "core/sys/stop_token.h"

namespace zepa2 {

// Each sending has this long, connecting included.
inline constexpr std::chrono::milliseconds kNoticeDeadline{10'000};

struct NoticeLimits {
  const StopToken* stop = nullptr;
  std::chrono::milliseconds deadline = kNoticeDeadline;
};

// One log line of a channel: CP932 text and its colour.
using NoticeLog = std::function<void(const std::string& text, LogColor color)>;

// Why a sending that began at start failed as outcome says (CP932): stopped, out of time, the
// server's key refused, or libcurl's reason itself.
std::string NoticeFailureReason(std::chrono::steady_clock::time_point start, const NoticeLimits& limits,
                                const net::Outcome& outcome);

// Sends a GET (no post) or the post to url, with the pin for an HTTPS server when set. Nothing when
// the server answered 2xx; otherwise why not (CP932): the HTTP status, a refused key, a time-out.
std::optional<std::string> SendNoticeRequest(const std::string& url, const std::string& pin,
                                             std::optional<net::HttpPost> post, const NoticeLimits& limits);

}  // namespace zepa2
