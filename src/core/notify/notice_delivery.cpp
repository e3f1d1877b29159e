#include "core/notify/notice_delivery.h"

#include "core/notify/heartbeat.h"
#include "core/notify/mail.h"
#include "core/notify/webhook.h"

namespace zepa2 {

void DeliverNotice(const NoticeJob& job, const NoticeLog& log, const NoticeLimits& limits) {
  const NotifyChannels& channels = job.settings.notifyChannels;
  SendHeartbeat(channels, job.report, log, limits);
  if (!job.notice) return;
  const WebhookFacts facts{*job.notice, job.report, job.settings};
  SendWebhook(channels, facts, log, limits);
  SendMailNotice(channels, *job.notice, job.report.checkedAt, log, limits);
}

}  // namespace zepa2
