#include "core/targets/url_updater.h"

#include "core/text/messages.h"

namespace zepa2 {
namespace {

void ReplaceAll(std::string& text, const std::string& token, const std::string& value) {
  for (std::size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + value.size()))
    text.replace(at, token.size(), value);
}

}  // namespace

std::string FilledUpdateUrl(const std::string& urlTemplate, const DnsAddresses& addresses) {
  std::string url = urlTemplate;
  ReplaceAll(url, "$$IP_ADDRESS$$", PercentEncoded(addresses.ipv4));
  ReplaceAll(url, "$$IPV6_ADDRESS$$", PercentEncoded(addresses.ipv6));
  return url;
}

DnsAnswer UrlUpdater::Update(const DnsTarget& target, DnsFamily family, const DnsAddresses& addresses,
                             const net::HttpGetOptions& http) const {
  if (target.url.empty()) return {DnsAnswerKind::Failed, {}, msg::kDnsNoServer};
  if (AddressOf(family, addresses).empty()) return {DnsAnswerKind::Failed, {}, msg::kDnsNoIpv6Address};
  const std::string url = FilledUpdateUrl(target.url, addresses);
  if (!url.starts_with("http://") && !url.starts_with("https://"))
    return {DnsAnswerKind::Failed, {}, msg::kDnsBadUrl};
  net::HttpGetOptions options = UpdateRequestOptions(target, http);
  options.family = family == DnsFamily::A ? net::IpFamily::V4Only : net::IpFamily::V6Only;
  options.basicUnasked = true;
  std::optional<net::HttpCredentials> login;
  if (!target.user.empty()) login = net::HttpCredentials{target.user, target.pass};
  const net::HttpGetResult got = net::HttpRequestUrl(url, login, options);
  if (auto failed = UnansweredRequest(got, options)) return *failed;
  if (got.status < 200 || got.status > 299)
    return {DnsAnswerKind::Failed, {}, msg::kDnsHttpStatus + std::to_string(got.status)};
  if (!target.match.empty() && got.body.find(target.match) == std::string::npos)
    return {DnsAnswerKind::Failed, {}, msg::kDnsMatchMissing};
  return {DnsAnswerKind::Taken};
}

// Documentation addresses stand in for the run's: only the server's part of the URL is used.
std::string UrlUpdater::ServerUrl(const DnsTarget& target) const {
  return FilledUpdateUrl(target.url, {"192.0.2.1", "2001:db8::1"});
}

}  // namespace zepa2
