#include "core/publish/site_store.h"

#include <utility>

namespace zepa2 {

net::SiteLogin SiteLoginOf(const FtpSite& site, std::string password) {
  return {site.server, site.user, std::move(password), site.mode, site.pin, site.region};
}

net::Outcome StoreOnSite(const net::SiteLogin& login, const std::filesystem::path& localFile,
                         const std::string& remoteName, const PauseFunction& pause, const StopToken* stop) {
  const net::TransferLimits limits{stop, net::SteadyClock::now() + kSiteDeadline};
  auto transport = net::Transport::Open(login, limits);
  if (!transport) {
    return {
        net::OutcomeKind::ConnectFailed,
        "the server text names no host, the pinned key is no sha256// pin or the region is no region name"};
  }
  net::Outcome outcome = transport->Store(localFile, remoteName);
  if (outcome.done() && pause) pause(kPauseBeforeClosing);
  transport->Close();
  return outcome;
}

}  // namespace zepa2
