// The dyndns2 protocol: one GET /nic/update per family and its result codes.
#pragma once

#include <string_view>

#include "core/targets/dns_updater.h"

namespace zepa2 {

// What a dyndns2 answer's body asks of the client: its lines (one per name) read as result codes,
// the gravest one deciding. "good" and "nochg" are success; badauth, !donator, notfqdn, nohost,
// numhost, abuse, badagent and badsys stop the target; dnserr and 911 hold it; anything else is a
// failure tried again at the next check.
DnsAnswer Dyndns2AnswerOf(std::string_view body);

class Dyndns2Updater final : public DnsUpdater {
 public:
  // GET <server>/nic/update?hostname=<names>&myip=<address>, Url being the server ("https://"
  // when it names no scheme), with Basic log-in. The IPv6 address goes as a request of its own
  // with myip set to it, the form providers of this protocol take most widely.
  DnsAnswer Update(const DnsTarget& target, DnsFamily family, const DnsAddresses& addresses,
                   const net::HttpGetOptions& http) const override;
  std::string ServerUrl(const DnsTarget& target) const override;
};

}  // namespace zepa2
