// The kinds of webhook a notice is sent to ([NOTIFY] WebhookKind): one row each, with the body it takes.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "core/run/check_report.h"
#include "core/outcome/check_notice.h"
#include "core/settings/app_settings.h"

namespace zepa2 {

// What a notice is sent as: the body and the header lines beside it.
struct WebhookRequest {
  std::string body;                  // UTF-8
  std::vector<std::string> headers;  // "Name: value", Content-Type included
};

// What a body is made of: the notice, the check it tells of, and the settings it ran with.
struct WebhookFacts {
  const CheckNotice& notice;
  const CheckReport& report;
  const AppSettings& settings;
};

struct WebhookKindRow {
  WebhookKind kind;
  const char* caption;  // the dialog's drop-down
  WebhookRequest (*request)(const WebhookFacts& facts);
};

// Every kind, in the order of their numbers.
std::span<const WebhookKindRow> WebhookKinds();
const WebhookKindRow& RowOf(WebhookKind kind);

// The event's word in the JSON object: "published", "failed" or "recovered".
const char* NoticeEventName(NoticeEvent event);

}  // namespace zepa2
