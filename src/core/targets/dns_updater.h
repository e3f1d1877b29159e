// One update protocol behind one small interface: a kind of DNS target and the class that speaks it.
#pragma once

#include <optional>
#include <string>

#include "core/targets/dns_answer.h"
#include "core/run/dns_target_state.h"
#include "core/net/http_get.h"
#include "core/settings/app_settings.h"

namespace zepa2 {

class DnsUpdater {
 public:
  virtual ~DnsUpdater() = default;
  // Sends the family's address of addresses (the other one fills a URL template's token too)
  // for every name of the target. http carries the run's time-outs and stop flag.
  virtual DnsAnswer Update(const DnsTarget& target, DnsFamily family, const DnsAddresses& addresses,
                           const net::HttpGetOptions& http) const = 0;
  // The address the target's updates go to, whose server's key a pin holds.
  virtual std::string ServerUrl(const DnsTarget& target) const = 0;
};

// The protocol of a kind; null for DnsKind::None.
const DnsUpdater* UpdaterOf(DnsKind kind);

// What every update request shares: the run's limits, the target's pin, any answer's body kept
// (providers answer failures in it), and a User-Agent naming this program and its version.
net::HttpGetOptions UpdateRequestOptions(const DnsTarget& target, const net::HttpGetOptions& http);

// How every updater reads a request: nothing when the server answered whole (its status and body
// are then the updater's to read), else the failed answer (stopped, refused key, no connection,
// broken off), worded once for every kind.
std::optional<DnsAnswer> UnansweredRequest(const net::HttpGetResult& got, const net::HttpGetOptions& http);

// The names of a target: Host split at commas, spaces around each dropped, empty ones skipped.
std::vector<std::string> DnsHostNames(const std::string& hosts);

// Bytes other than letters, digits and -._~ as %HH, for a query value.
std::string PercentEncoded(const std::string& text);

// "https://host:port/" of the server a target's updates go to when they go over HTTPS (the one
// whose key a pin holds); empty for plain HTTP, no target, or a server text that names no host.
std::string HttpsUpdateServer(const DnsTarget& target);

// The address a family sends.
inline const std::string& AddressOf(DnsFamily family, const DnsAddresses& addresses) {
  return family == DnsFamily::A ? addresses.ipv4 : addresses.ipv6;
}

}  // namespace zepa2
