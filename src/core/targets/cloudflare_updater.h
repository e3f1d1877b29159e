// Cloudflare's API v4 with a token: the zone and each record looked up, then only its content changed.
#pragma once

#include "core/targets/dns_updater.h"

namespace zepa2 {

inline constexpr const char* kCloudflareApi = "https://api.cloudflare.com/client/v4";

class CloudflareUpdater final : public DnsUpdater {
 public:
  // Pass is the token. GET zones?name=<Zone>, then per name GET dns_records?type=&name=, and a
  // PATCH of {"content": address} for a record that holds another address, so that its proxied
  // flag and TTL stay as the user set them. Api is the base address (empty = kCloudflareApi).
  DnsAnswer Update(const DnsTarget& target, DnsFamily family, const DnsAddresses& addresses,
                   const net::HttpGetOptions& http) const override;
  std::string ServerUrl(const DnsTarget& target) const override;
};

}  // namespace zepa2
