// Trust on first use: the key a site or the router presents, learned for the user to pin.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/net/server_key.h"
#include "core/settings/app_settings.h"

namespace zepa2 {

// The key an FTP over TLS or SFTP site presents, learned without logging in. A plain FTP mode or
// a server text that names no host gives no pin and a reason.
net::PresentedKey LearnSiteKey(const std::string& server, net::TransferMode mode,
                               net::TransferLimits limits = {});

// The key an "https://" router presents; other router texts give no pin and a reason.
net::PresentedKey LearnRouterKey(const std::string& server, net::TransferLimits limits = {});

struct LearnedServerKey {
  std::string server;  // CP932, as in the settings
  int site = 0;        // 1..5, or 0 for the router or a DNS target
  int dnsTarget = 0;   // 1..5 for a DNS target's update server, else 0
  net::PresentedKey key;
};

// Learns the key of every server in use that has one and no pin (the sites 1..siteCount in FTP
// over TLS or SFTP, the router when it is "https://", each DNS target whose updates go over
// HTTPS), and pins each key learned into settings.
std::vector<LearnedServerKey> PinUnpinnedServers(AppSettings& settings, const StopToken* stop = nullptr);

}  // namespace zepa2
