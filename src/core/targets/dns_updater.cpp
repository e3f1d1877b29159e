#include "core/targets/dns_updater.h"

#include <memory>

#include "core/targets/cloudflare_updater.h"
#include "core/targets/dyndns2_updater.h"
#include "core/net/curl_handle.h"
#include "core/targets/url_updater.h"
#include "core/text/hex_escape.h"
#include "core/text/messages.h"

namespace zepa2 {

const DnsUpdater* UpdaterOf(DnsKind kind) {
  static const UrlUpdater url;
  static const Dyndns2Updater dyndns2;
  static const CloudflareUpdater cloudflare;
  switch (kind) {
    case DnsKind::None:
      return nullptr;
    case DnsKind::Url:
      return &url;
    case DnsKind::Dyndns2:
      return &dyndns2;
    case DnsKind::Cloudflare:
      return &cloudflare;
  }
  return nullptr;
}

net::HttpGetOptions UpdateRequestOptions(const DnsTarget& target, const net::HttpGetOptions& http) {
  net::HttpGetOptions options = http;
  options.pin = target.pin;
  options.keepAnyBody = true;
  options.maxBodyBytes = 1u << 20;
  options.headers.push_back("User-Agent: ZEPA2/" ZEPA2_VERSION " (Linux)");
  return options;
}

std::optional<DnsAnswer> UnansweredRequest(const net::HttpGetResult& got, const net::HttpGetOptions& http) {
  if (got.answered()) return std::nullopt;
  if (got.outcome.kind == net::OutcomeKind::Cancelled || (http.stop && http.stop->stopRequested()))
    return DnsAnswer{DnsAnswerKind::Cancelled};
  const std::string& reason = got.outcome.reason;
  DnsAnswer answer{DnsAnswerKind::Failed, {}, reason, got.outcome.key};
  switch (got.outcome.key) {
    case net::KeyTrouble::None:
      break;
    case net::KeyTrouble::Unverified:
      answer.reason = msg::kDnsKeyUnverified + (msg::kReasonFollows + reason);
      break;
    case net::KeyTrouble::Changed:
      answer.reason = msg::kDnsKeyChanged + (msg::kReasonFollows + reason);
      break;
  }
  if (answer.reason.empty() && got.status != 0)
    answer.reason = msg::kDnsHttpStatus + std::to_string(got.status);
  return answer;
}

std::string HttpsUpdateServer(const DnsTarget& target) {
  const DnsUpdater* updater = UpdaterOf(target.kind);
  if (!updater) return {};
  const std::string url = updater->ServerUrl(target);
  if (!url.starts_with("https://")) return {};
  net::EnsureCurlGlobalInit();
  std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> parsed(curl_url(), &curl_url_cleanup);
  char* host = nullptr;
  char* port = nullptr;
  std::string server;
  if (parsed && curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
      curl_url_get(parsed.get(), CURLUPART_HOST, &host, 0) == CURLUE_OK &&
      curl_url_get(parsed.get(), CURLUPART_PORT, &port, CURLU_DEFAULT_PORT) == CURLUE_OK) {
    server = std::string("https://") + host + ":" + port + "/";
  }
  curl_free(host);
  curl_free(port);
  return server;
}

std::vector<std::string> DnsHostNames(const std::string& hosts) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= hosts.size()) {
    std::size_t end = hosts.find(',', start);
    if (end == std::string::npos) end = hosts.size();
    std::string name = hosts.substr(start, end - start);
    const std::size_t first = name.find_first_not_of(" \t");
    const std::size_t last = name.find_last_not_of(" \t");
    if (first != std::string::npos) names.push_back(name.substr(first, last - first + 1));
    start = end + 1;
  }
  return names;
}

std::string PercentEncoded(const std::string& text) {
  return HexEscaped(text, "%", HexCase::Upper, [](unsigned char c) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '.' || c == '_' || c == '~';
    return !plain;
  });
}

}  // namespace zepa2
