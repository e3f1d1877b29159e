#include "core/targets/dyndns2_updater.h"

#include <array>

#include "core/log/control_escape.h"
#include "core/text/messages.h"

namespace zepa2 {
namespace {

struct ResultCode {
  std::string_view code;
  DnsAnswerKind kind;
};

constexpr std::array<ResultCode, 12> kResultCodes{{
    {"good", DnsAnswerKind::Taken},
    {"nochg", DnsAnswerKind::AlreadyHeld},
    {"dnserr", DnsAnswerKind::Holding},
    {"911", DnsAnswerKind::Holding},
    {"badauth", DnsAnswerKind::Stopping},
    {"!donator", DnsAnswerKind::Stopping},
    {"notfqdn", DnsAnswerKind::Stopping},
    {"nohost", DnsAnswerKind::Stopping},
    {"numhost", DnsAnswerKind::Stopping},
    {"abuse", DnsAnswerKind::Stopping},
    {"badagent", DnsAnswerKind::Stopping},
    {"badsys", DnsAnswerKind::Stopping},
}};

DnsAnswer AnswerOfLine(std::string_view line) {
  const std::string_view word = line.substr(0, line.find(' '));
  for (const ResultCode& known : kResultCodes)
    if (word == known.code) return {known.kind, std::string(word)};
  const std::string shown = EscapeControlBytes(line.substr(0, 80));
  return {DnsAnswerKind::Failed, {}, msg::kDnsUnknownAnswer + shown};
}

}  // namespace

DnsAnswer Dyndns2AnswerOf(std::string_view body) {
  std::optional<DnsAnswer> gravest;
  std::size_t start = 0;
  while (start < body.size()) {
    std::size_t end = body.find('\n', start);
    if (end == std::string_view::npos) end = body.size();
    std::string_view line = body.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    start = end + 1;
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos) continue;
    DnsAnswer answer = AnswerOfLine(line.substr(first));
    if (!gravest || AnswerGravity(answer.kind) > AnswerGravity(gravest->kind)) gravest = std::move(answer);
  }
  if (!gravest) return {DnsAnswerKind::Failed, {}, msg::kDnsUnknownAnswer};
  return *gravest;
}

DnsAnswer Dyndns2Updater::Update(const DnsTarget& target, DnsFamily family, const DnsAddresses& addresses,
                                 const net::HttpGetOptions& http) const {
  if (target.url.empty()) return {DnsAnswerKind::Failed, {}, msg::kDnsNoServer};
  const std::vector<std::string> names = DnsHostNames(target.host);
  if (names.empty()) return {DnsAnswerKind::Failed, {}, msg::kDnsNoHost};
  const std::string& address = AddressOf(family, addresses);
  if (address.empty()) return {DnsAnswerKind::Failed, {}, msg::kDnsNoIpv6Address};

  std::string server = ServerUrl(target);
  while (server.ends_with('/')) server.pop_back();
  std::string hostnames;
  for (const std::string& name : names) hostnames += (hostnames.empty() ? "" : ",") + PercentEncoded(name);
  const std::string url = server + "/nic/update?hostname=" + hostnames + "&myip=" + PercentEncoded(address);

  net::HttpGetOptions options = UpdateRequestOptions(target, http);
  options.basicUnasked = true;
  const net::HttpGetResult got =
      net::HttpRequestUrl(url, net::HttpCredentials{target.user, target.pass}, options);
  if (auto failed = UnansweredRequest(got, options)) return *failed;
  // The protocol's codes count only in a successful answer: a "good" in a server error's page (or
  // a proxy's) took nothing, and a "badauth" there must not stop the target for good.
  if (got.status < 200 || got.status > 299)
    return {DnsAnswerKind::Failed, {}, msg::kDnsHttpStatus + std::to_string(got.status)};
  return Dyndns2AnswerOf(got.body);
}

std::string Dyndns2Updater::ServerUrl(const DnsTarget& target) const {
  return target.url.find("://") == std::string::npos ? "https://" + target.url : target.url;
}

}  // namespace zepa2
