// A notice sent to the webhook of the settings, shaped by its kind.
#pragma once

#include "core/notify/notice_http.h"
#include "core/notify/webhook_kind.h"

namespace zepa2 {

// POSTs the notice to the webhook URL when one is set (WebhookPin pins an HTTPS server's key) and
// logs how it went, without the URL (it holds the hook's token).
void SendWebhook(const NotifyChannels& channels, const WebhookFacts& facts, const NoticeLog& log,
                 const NoticeLimits& limits);

}  // namespace zepa2
