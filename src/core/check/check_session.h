// One run of the check: find the current address (router page, the router itself or this host), compare,
// publish.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/run/check_host.h"
#include "core/run/check_report.h"
#include "core/source/gateway_answer.h"
#include "core/run/publisher.h"
#include "core/run/run_request.h"
#include "core/source/gateway_source.h"
#include "core/source/ipv6_address.h"
#include "core/net/http_get.h"
#include "core/settings/app_settings.h"
#include "core/sys/stop_token.h"

namespace zepa2 {

struct CheckSessionOptions {
  net::HttpGetOptions http{};
  // Where the local-address mode gets its address; the live system unless a test says otherwise.
  std::function<std::optional<std::string>()> localAddress{};
  // Asked for by whoever may end the run early (quitting, a stop signal): the running transfer is
  // aborted and the remaining steps are skipped. Null: the run is never stopped.
  const StopToken* stop = nullptr;
  // This machine's global IPv6 address (empty for none); when null, the kernel's lists by the
  // settings' interface and kind. Asked only when a page in use carries an
  // IPv6 token or a DNS target keeps AAAA records.
  std::function<Ipv6Choice()> ipv6Address{};
  // Whether this machine has a default route for IPv6 and none for IPv4 (IPv4 then goes through
  // the provider's tunnel); the kernel's route tables unless a test says otherwise.
  std::function<bool()> onlyIpv6Route{};
  // Called with the address about to be published, before publishing starts: the window shows it
  // as the current address. May be empty.
  std::function<void(const std::string&)> addressTaken{};
};

// How both programs run a check: composed once with the settings, the host and the publisher,
// then asked for one run after another. It keeps nothing between runs but whether it has said
// that IPv4 goes through the provider's tunnel: the state goes in with the request and comes back
// in the report.
class CheckSession {
 public:
  CheckSession(const AppSettings& settings, CheckHost& host, Publisher& publisher,
               CheckSessionOptions options = {});

  // One run. Publish and ShowPages find the address, compare it with state.lastAddress and hand a
  // changed (or forced) address to the publisher; an unchanged address is still handed to the
  // sites the state says are owed it. FindOnly finds the address and stops: outcome Found with the
  // address (in the decimal form when that is on), else AddressNotFound. The log tells the user;
  // the report tells the caller, with the state the next run starts from.
  CheckReport Run(const RunRequest& request, const RunState& state);

 private:
  struct ConversionWording;
  static const ConversionWording kLocalWording;
  static const ConversionWording kRouterWording;
  struct GatewayWording;
  static const GatewayWording kUpnpWording;
  static const GatewayWording kNatPmpWording;
  static const GatewayWording& WordingOf(GatewayProtocol protocol);

  CheckReport FindAddress();
  CheckReport FindLocalAddress();
  // False when no page arrived; reason then holds libcurl's words, if it had any.
  bool FetchRouterPageText(CheckReport& report);
  CheckReport SearchRouterPage(CheckReport fetched);
  // Logs the router's own answer (UPnP, NAT-PMP) and takes the address it gave.
  CheckReport TakeGatewayAnswer(const GatewayWording& wording, const std::function<GatewayAnswer()>& ask);
  // Takes what a machine answered (UPnP, NAT-PMP, a whole page) when it is an IPv4 literal, with
  // foundLine; otherwise failedLine and a line that shows the text, and nothing is published.
  CheckReport TakeMachineAddress(CheckReport report, std::string_view text, const std::string& foundLine,
                                 const std::string& failedLine);
  // Takes a found address for publishing: refuses one that is unsafe in a page, notes one that is
  // not public (when asked to), then applies the decimal form. AddressNotFound ends the run.
  CheckReport AcceptFoundAddress(CheckReport report, std::string address, const ConversionWording& wording,
                                 bool noteNonPublic);
  // With the decimal form on, converts address in place and logs it; false ends the run.
  bool ApplyDecimalForm(std::string& address, const ConversionWording& wording);
  CheckReport PublishIfChanged(CheckReport found, const RunRequest& request);
  // Hands the address to the DNS targets that must have it (see DecideDnsUpdate).
  void UpdateDnsNames(CheckReport& report, const RunRequest& request);
  // With a page that carries an IPv6 token: looks the address up and logs it on a line of its
  // own. False when no page uses it.
  bool LookUpIpv6(CheckReport& report);
  // Takes this machine's IPv6 address into the report and says what was found (none only when
  // sayNone).
  void TakeIpv6(CheckReport& report, bool sayNone);
  // Says once that IPv4 goes only through the provider's tunnel, when that is so.
  void NoteTunnelOnce();
  // The owed sites still in use under the current site count.
  std::vector<int> OwedSitesInUse(const std::vector<int>& owed) const;

  const AppSettings& settings_;
  CheckHost& host_;
  Publisher& publisher_;
  CheckSessionOptions options_;
  bool tunnelNoted_ = false;  // a log courtesy, not state: said once in a session's life
};

// The sites still owed the page after a publish: a page that was only shown (a test run) leaves a
// site as it was, unless the address it holds online is now an old one.
std::vector<int> OwedSitesAfter(std::vector<int> owed, const std::vector<SiteReport>& sites,
                                bool addressChanged);

}  // namespace zepa2
