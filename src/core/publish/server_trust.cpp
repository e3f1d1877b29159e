#include "core/publish/server_trust.h"

#include <chrono>

#include "core/targets/dns_updater.h"
#include "core/net/server_address.h"

namespace zepa2 {
namespace {

constexpr std::chrono::seconds kLearnDeadline{30};

net::PresentedKey NoKey(const char* why) { return {std::nullopt, why}; }

std::string HostPortUrl(std::string_view scheme, const net::ServerAddress& address) {
  return std::string(scheme) + "://" + address.host + ":" + std::to_string(address.port) + "/";
}

}  // namespace

net::PresentedKey LearnSiteKey(const std::string& server, net::TransferMode mode,
                               net::TransferLimits limits) {
  const net::TransferModeRow& row = net::RowOf(mode);
  if (row.key == net::PinnedKeyKind::None) return NoKey("plain FTP has no server key");
  const auto site = net::ParseSiteServer(row, server);
  if (!site) return NoKey("the server text names no host");
  if (site->scheme == "http") return NoKey("plain HTTP has no server key");
  return net::LearnServerKey(HostPortUrl(site->scheme, {site->host, site->port}), row.key, limits);
}

net::PresentedKey LearnRouterKey(const std::string& server, net::TransferLimits limits) {
  const auto web = net::ParseWebServer(server);
  if (!web || !web->https) return NoKey("the router is not reached over https://");
  return net::LearnServerKey(HostPortUrl("https", web->address), net::PinnedKeyKind::TlsPublicKey, limits);
}

std::vector<LearnedServerKey> PinUnpinnedServers(AppSettings& settings, const StopToken* stop) {
  std::vector<LearnedServerKey> learned;
  auto limits = [stop] { return net::TransferLimits{stop, net::SteadyClock::now() + kLearnDeadline}; };
  for (int n = 1; n <= settings.siteCount && n <= kSiteSlots; ++n) {
    FtpSite& site = settings.sites[n - 1];
    if (site.server.empty() || !site.pin.empty() || site.unknownMode || site.unreadablePin ||
        !net::HasServerKey(site.mode))
      continue;
    LearnedServerKey entry{site.server, n, 0, LearnSiteKey(site.server, site.mode, limits())};
    if (entry.key.pin) site.pin = *entry.key.pin;
    learned.push_back(std::move(entry));
  }
  const auto router = net::ParseWebServer(settings.routerServer);
  if (router && router->https && settings.routerPin.empty() && !settings.unreadableRouterPin) {
    LearnedServerKey entry{settings.routerServer, 0, 0, LearnRouterKey(settings.routerServer, limits())};
    if (entry.key.pin) settings.routerPin = *entry.key.pin;
    learned.push_back(std::move(entry));
  }
  for (int n = 1; n <= kDnsSlots; ++n) {
    DnsTarget& target = settings.dnsTargets[n - 1];
    const bool unpinned = target.pin.empty() && !target.unreadablePin && !target.unknownKind;
    const std::string server = unpinned ? HttpsUpdateServer(target) : std::string();
    if (server.empty()) continue;
    LearnedServerKey entry{server, 0, n,
                           net::LearnServerKey(server, net::PinnedKeyKind::TlsPublicKey, limits())};
    if (entry.key.pin) target.pin = *entry.key.pin;
    learned.push_back(std::move(entry));
  }
  return learned;
}

}  // namespace zepa2
