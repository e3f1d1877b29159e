// The heartbeat a monitoring service expects after every check: the ping URL, or its /fail form.
#pragma once

#include <string>

#include "core/run/check_report.h"
#include "core/notify/notice_http.h"
#include "core/settings/app_settings.h"

namespace zepa2 {

// The URL to ask after a check: url itself after a good one, url with "/fail" appended to its path
// (before any query) after a failed one.
std::string PingUrlFor(const std::string& url, bool failed);

// Asks the ping URL, when one is set, after report (a test run is no check and asks nothing). A
// failure is a red line; a success is logged too.
void SendHeartbeat(const NotifyChannels& channels, const CheckReport& report, const NoticeLog& log,
                   const NoticeLimits& limits);

}  // namespace zepa2
