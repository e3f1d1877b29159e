#include "core/notify/webhook.h"

#include "core/text/cp932.h"
#include "core/text/notify_messages.h"

namespace zepa2 {

void SendWebhook(const NotifyChannels& channels, const WebhookFacts& facts, const NoticeLog& log,
                 const NoticeLimits& limits) {
  if (channels.webhookUrl.empty()) return;
  // A pin the file could not read guards the hook as much as a pin: nothing goes without it.
  if (channels.unreadableWebhookPin)
    return log(Cp932(msg::kWebhookFailed) + Cp932(msg::kNotifyKeyRefused), log_color::kRed);
  WebhookRequest request = RowOf(channels.webhookKind).request(facts);
  net::HttpPost post{std::move(request.body), std::move(request.headers)};
  if (auto problem =
          SendNoticeRequest(Cp932ToUtf8(channels.webhookUrl), channels.webhookPin, std::move(post), limits))
    log(Cp932(msg::kWebhookFailed) + *problem, log_color::kRed);
  else log(Cp932(msg::kWebhookSent), log_color::kBlack);
}

}  // namespace zepa2
