#include "core/targets/cloudflare_updater.h"

#include "core/text/bounded_json.h"
#include "core/text/messages.h"

namespace zepa2 {
namespace {

using Json = nlohmann::json;

// One API call's result: the "result" member of a successful answer, or the answer for a failure.
struct ApiCall {
  Json result;
  std::optional<DnsAnswer> failure;
};

// A member's text, or empty when it is missing or not text (an answer is never trusted to be well formed).
std::string StringField(const Json& object, const char* name) {
  const auto it = object.find(name);
  return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

// "message (code)" of the API's first error, or nothing when the body holds none.
std::optional<std::string> ApiErrorOf(const Json& body) {
  if (!body.is_object()) return std::nullopt;
  const auto errors = body.find("errors");
  if (errors == body.end() || !errors->is_array() || errors->empty() || !(*errors)[0].is_object())
    return std::nullopt;
  const Json& first = (*errors)[0];
  std::string text = StringField(first, "message");
  if (const auto code = first.find("code"); code != first.end() && code->is_number_integer())
    text += " (" + std::to_string(code->get<long>()) + ")";
  return text;
}

class Api {
 public:
  Api(const DnsTarget& target, const net::HttpGetOptions& http)
      : base_(CloudflareUpdater().ServerUrl(target)), options_(UpdateRequestOptions(target, http)) {
    while (base_.ends_with('/')) base_.pop_back();
    options_.headers.push_back("Authorization: Bearer " + target.pass);
    options_.headers.push_back("Content-Type: application/json");
  }

  ApiCall Get(const std::string& path) const { return Call(path, options_); }

  ApiCall Patch(const std::string& path, const Json& body) const {
    net::HttpGetOptions options = options_;
    options.post = net::HttpPost{body.dump(), {}};
    options.method = "PATCH";
    return Call(path, options);
  }

 private:
  ApiCall Call(const std::string& path, const net::HttpGetOptions& options) const {
    const net::HttpGetResult got = net::HttpRequestUrl(base_ + path, std::nullopt, options);
    if (auto failed = UnansweredRequest(got, options)) return {{}, std::move(*failed)};
    std::optional<Json> body = ParseBoundedJson(got.body);
    if (!body) {
      const bool ok = got.status >= 200 && got.status <= 299;
      const std::string reason =
          ok ? msg::kDnsUnreadableAnswer : msg::kDnsHttpStatus + std::to_string(got.status);
      return {{}, DnsAnswer{DnsAnswerKind::Failed, {}, msg::kDnsApiError + reason}};
    }
    const auto success = body->is_object() ? body->find("success") : Json::iterator();
    if (!body->is_object() || success == body->end() || *success != true || got.status < 200 ||
        got.status > 299) {
      const std::string reason = ApiErrorOf(*body).value_or(msg::kDnsHttpStatus + std::to_string(got.status));
      return {{}, DnsAnswer{DnsAnswerKind::Failed, {}, msg::kDnsApiError + reason}};
    }
    const auto result = body->find("result");
    return {result != body->end() ? std::move(*result) : Json(), std::nullopt};
  }

  std::string base_;
  net::HttpGetOptions options_;
};

// The first object of a list result, or null.
const Json* FirstOf(const Json& list) {
  return list.is_array() && !list.empty() && list[0].is_object() ? &list[0] : nullptr;
}

}  // namespace

DnsAnswer CloudflareUpdater::Update(const DnsTarget& target, DnsFamily family, const DnsAddresses& addresses,
                                    const net::HttpGetOptions& http) const {
  const std::vector<std::string> names = DnsHostNames(target.host);
  if (names.empty()) return {DnsAnswerKind::Failed, {}, msg::kDnsNoHost};
  if (target.zone.empty()) return {DnsAnswerKind::Failed, {}, msg::kDnsNoZone};
  const std::string& address = AddressOf(family, addresses);
  if (address.empty()) return {DnsAnswerKind::Failed, {}, msg::kDnsNoIpv6Address};
  const char* type = family == DnsFamily::A ? "A" : "AAAA";

  const Api api(target, http);
  const ApiCall zones = api.Get("/zones?name=" + PercentEncoded(target.zone));
  if (zones.failure) return *zones.failure;
  const Json* zone = FirstOf(zones.result);
  const std::string zoneId = zone ? StringField(*zone, "id") : std::string();
  if (zoneId.empty()) return {DnsAnswerKind::Failed, {}, msg::kDnsZoneNotFound + target.zone};
  const std::string records = "/zones/" + PercentEncoded(zoneId) + "/dns_records";

  bool changed = false;
  for (const std::string& name : names) {
    const ApiCall found = api.Get(records + "?type=" + type + "&name=" + PercentEncoded(name));
    if (found.failure) return *found.failure;
    const Json* record = FirstOf(found.result);
    const std::string recordId = record ? StringField(*record, "id") : std::string();
    if (recordId.empty())
      return {DnsAnswerKind::Failed, {}, msg::kDnsRecordNotFound + (std::string(type) + " " + name)};
    if (StringField(*record, "content") == address) continue;
    const ApiCall patched = api.Patch(records + "/" + PercentEncoded(recordId), Json{{"content", address}});
    if (patched.failure) return *patched.failure;
    changed = true;
  }
  return {changed ? DnsAnswerKind::Taken : DnsAnswerKind::AlreadyHeld};
}

std::string CloudflareUpdater::ServerUrl(const DnsTarget& target) const {
  return target.api.empty() ? std::string(kCloudflareApi) : target.api;
}

}  // namespace zepa2
