// What is sent beyond the desktop after one check: the heartbeat, and the check's notice to the
// webhook and by mail.
#pragma once

#include <optional>

#include "core/run/check_report.h"
#include "core/notify/notice_http.h"
#include "core/outcome/check_notice.h"
#include "core/settings/app_settings.h"

namespace zepa2 {

struct NoticeJob {
  AppSettings settings;               // the settings the check ran with
  CheckReport report;                 // the check
  std::optional<CheckNotice> notice;  // its notice (NoticeSequence), or nothing to tell
};

// Sends the job's heartbeat and notice through every channel set up, one after another, each
// within limits. A channel's failure is a red line and nothing more: never retried, never a failed
// check. Blocks: call it off the UI thread.
void DeliverNotice(const NoticeJob& job, const NoticeLog& log, const NoticeLimits& limits);

enum class NoticeChannelKind { Mail, Webhook, Heartbeat };

// The settings dialog's テスト: a test notice through one channel now (the heartbeat as after a
// good check), logged as a check's would be. Blocks.
void SendTestNotice(NoticeChannelKind channel, const AppSettings& settings, const NoticeLog& log,
                    const NoticeLimits& limits);

}  // namespace zepa2
