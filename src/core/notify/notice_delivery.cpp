#include "core/notify/notice_delivery.h"

#include "core/notify/heartbeat.h"
#include "core/notify/mail.h"
#include "core/notify/webhook.h"
#include "core/text/cp932.h"
#include "core/text/notify_messages.h"

namespace zepa2 {

void DeliverNotice(const NoticeJob& job, const NoticeLog& log, const NoticeLimits& limits) {
  const NotifyChannels& channels = job.settings.notifyChannels;
  SendHeartbeat(channels, job.report, log, limits);
  if (!job.notice) return;
  const WebhookFacts facts{*job.notice, job.report, job.settings};
  SendWebhook(channels, facts, log, limits);
  SendMailNotice(channels, *job.notice, job.report.checkedAt, log, limits);
}

void SendTestNotice(NoticeChannelKind channel, const AppSettings& settings, const NoticeLog& log,
                    const NoticeLimits& limits) {
  CheckReport report;
  report.outcome = CheckOutcome::Unchanged;
  report.checkedAt = std::time(nullptr);
  const CheckNotice notice{Cp932(msg::kNotifyTestTitle), Cp932(msg::kNotifyTestBody), false};
  const NotifyChannels& channels = settings.notifyChannels;
  switch (channel) {
    case NoticeChannelKind::Mail:
      SendMailNotice(channels, notice, report.checkedAt, log, limits);
      break;
    case NoticeChannelKind::Webhook:
      SendWebhook(channels, {notice, report, settings}, log, limits);
      break;
    case NoticeChannelKind::Heartbeat:
      SendHeartbeat(channels, report, log, limits);
      break;
  }
}

}  // namespace zepa2
