#include "core/notify/webhook_kind.h"

#include <array>
#include <nlohmann/json.hpp>

#include "core/outcome/run_status_file.h"
#include "core/text/cp932.h"
#include "core/text/encoded_word.h"

namespace zepa2 {
namespace {

using Json = nlohmann::json;

constexpr const char* kJsonType = "Content-Type: application/json";

std::string Summary(const WebhookFacts& f) { return Cp932ToUtf8(f.notice.title); }
std::string Body(const WebhookFacts& f) { return Cp932ToUtf8(f.notice.body); }
std::string SummaryAndBody(const WebhookFacts& f) { return Summary(f) + "\n" + Body(f); }

Json TextOrNull(const std::string& cp932) { return cp932.empty() ? Json() : Json(Cp932ToUtf8(cp932)); }

// A reason in another encoding must not keep the notice from going.
std::string Dump(const Json& object) { return object.dump(-1, ' ', false, Json::error_handler_t::replace); }

// Everything a program receiving it may want, with the status file's site and DNS entries.
WebhookRequest JsonObject(const WebhookFacts& f) {
  const Json object = {{"event", NoticeEventName(f.notice.event)},
                       {"summary", Summary(f)},
                       {"body", Body(f)},
                       {"address", TextOrNull(f.report.address)},
                       {"previousAddress", TextOrNull(f.report.previousAddress)},
                       {"sites", RunSiteEntries(f.report, f.settings)},
                       {"dns", RunDnsEntries(f.report)},
                       {"time", IsoTime(f.report.checkedAt)}};
  return {Dump(object), {kJsonType}};
}

// https://discord.com/developers/docs/resources/webhook#execute-webhook: "content", up to 2000
// characters (a notice is far shorter).
WebhookRequest Discord(const WebhookFacts& f) {
  return {Dump({{"content", SummaryAndBody(f)}}), {kJsonType}};
}

// https://api.slack.com/messaging/webhooks: "text".
WebhookRequest Slack(const WebhookFacts& f) { return {Dump({{"text", SummaryAndBody(f)}}), {kJsonType}}; }

// https://docs.ntfy.sh/publish/: the body is the message, the Title header its title; ntfy reads
// RFC 2047 words in its headers, which carry the Japanese.
WebhookRequest Ntfy(const WebhookFacts& f) {
  return {Body(f), {"Content-Type: text/plain; charset=utf-8", "Title: " + EncodedWords(Summary(f), " ")}};
}

constexpr std::array kRows{
    WebhookKindRow{WebhookKind::Json, "JSON", &JsonObject},
    WebhookKindRow{WebhookKind::Discord, "Discord", &Discord},
    WebhookKindRow{WebhookKind::Slack, "Slack", &Slack},
    WebhookKindRow{WebhookKind::Ntfy, "ntfy", &Ntfy},
};

constexpr bool RowsInOrder() {
  for (std::size_t i = 0; i < kRows.size(); ++i)
    if (static_cast<std::size_t>(kRows[i].kind) != i) return false;
  return kRows.size() == static_cast<std::size_t>(kLastWebhookKind) + 1;
}
static_assert(RowsInOrder(), "one row per webhook kind, in the order of their numbers");

}  // namespace

std::span<const WebhookKindRow> WebhookKinds() { return kRows; }

const WebhookKindRow& RowOf(WebhookKind kind) { return kRows[static_cast<std::size_t>(kind)]; }

const char* NoticeEventName(NoticeEvent event) {
  switch (event) {
    case NoticeEvent::Published:
      return "published";
    case NoticeEvent::Failed:
      return "failed";
    case NoticeEvent::Recovered:
      return "recovered";
  }
  return "failed";
}

}  // namespace zepa2
