// The plain URL kind: one GET of a template that carries the address (or none, the provider
// taking the request's source address).
#pragma once

#include "core/targets/dns_updater.h"

namespace zepa2 {

// Url's $$IP_ADDRESS$$ and $$IPV6_ADDRESS$$ filled with the run's addresses, percent-encoded.
std::string FilledUpdateUrl(const std::string& urlTemplate, const DnsAddresses& addresses);

class UrlUpdater final : public DnsUpdater {
 public:
  // An A update connects over IPv4 only and an AAAA update over IPv6 only, so that a provider
  // that reads the address off the connection sees the right one. Basic log-in when User is set.
  // Success is any 2xx answer holding Match (any 2xx when Match is empty).
  DnsAnswer Update(const DnsTarget& target, DnsFamily family, const DnsAddresses& addresses,
                   const net::HttpGetOptions& http) const override;
  std::string ServerUrl(const DnsTarget& target) const override;
};

}  // namespace zepa2
