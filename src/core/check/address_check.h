// One address check: find the current address (router page or this host), compare, publish.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/check/check_host.h"
#include "core/check/check_report.h"
#include "core/source/gateway_answer.h"
#include "core/check/publisher.h"
#include "core/net/http_get.h"
#include "core/settings/app_settings.h"
#include "core/sys/stop_token.h"

namespace zepa2 {

struct AddressCheckOptions {
  net::HttpGetOptions http{};
  // Where the local-address mode gets its address; the live system unless a test says otherwise.
  std::function<std::optional<std::string>()> localAddress{};
  // Asked for by whoever may end the run early (quitting, a stop signal): the running transfer is
  // aborted and the remaining steps are skipped. Null: the run is never stopped.
  const StopToken* stop = nullptr;
  // This machine's global IPv6 address (empty for none); the kernel's lists unless a test says
  // otherwise. Asked only when a page in use carries the IPv6 token.
  std::function<std::string()> ipv6Address{};
};

// Owned by the main window for its whole life. Reads the settings anew on every run, logs every
// step through the host and hands a changed (or forced) address to the publisher.
class AddressCheck {
 public:
  AddressCheck(const AppSettings& settings, CheckHost& host, Publisher& publisher,
               AddressCheckOptions options = {});

  // Called with the new address whenever lastAddress changes, before publishing starts: the
  // window shows it as the current address.
  void SetAddressShown(std::function<void(const std::string&)> addressShown);

  // One run; force publishes even an unchanged address. An unchanged address is still published
  // to the sites whose last publish failed. The log tells the user; the report tells the caller.
  CheckReport RunAddressCheck(bool force);
  // The address by the configured source, logged as in a run, without comparing or publishing:
  // outcome Found with the address (in the decimal form when that is on), else AddressNotFound.
  CheckReport FindAddress();

  // Starts from an address published earlier (the headless companion keeps it between runs).
  void RestoreLastAddress(std::string address) { lastAddress_ = std::move(address); }
  void RestoreLastIpv6Address(std::string address) { lastIpv6Address_ = std::move(address); }
  // The sites that did not take the last address they were handed, in order; the next check
  // publishes to them whatever it finds.
  const std::vector<int>& owedSites() const { return owedSites_; }
  void RestoreOwedSites(std::vector<int> sites) { owedSites_ = std::move(sites); }

  // The address of the last run that published (empty until then), CP932.
  const std::string& lastAddress() const { return lastAddress_; }
  // The IPv6 address the last publish carried (empty when none, or no page uses it).
  const std::string& lastIpv6Address() const { return lastIpv6Address_; }
  // The body of the last router page fetched, CP932.
  const std::string& routerPageText() const { return routerPageText_; }

 private:
  struct ConversionWording;
  static const ConversionWording kLocalWording;
  static const ConversionWording kRouterWording;
  struct GatewayWording;
  static const GatewayWording kUpnpWording;
  static const GatewayWording kNatPmpWording;

  CheckReport FindLocalAddress();
  // False when no page arrived; reason then holds libcurl's words, if it had any.
  bool FetchRouterPageText(std::string& reason);
  CheckReport SearchRouterPage();
  // Logs the router's own answer (UPnP, NAT-PMP) and takes the address it gave.
  CheckReport TakeGatewayAnswer(const GatewayWording& wording, const std::function<GatewayAnswer()>& ask);
  // Takes a found address for publishing: refuses one that is unsafe in a page, notes one that is
  // not public (when asked to), then applies the decimal form. AddressNotFound ends the run.
  CheckReport AcceptFoundAddress(std::string address, const ConversionWording& wording, bool noteNonPublic);
  // With the decimal form on, converts address in place and logs it; false ends the run.
  bool ApplyDecimalForm(std::string& address, const ConversionWording& wording);
  CheckReport PublishIfChanged(CheckReport found, bool force);
  // With a page that carries the IPv6 token: looks the address up and logs it on a line of its
  // own. False when no page uses it.
  bool LookUpIpv6(CheckReport& report);
  // The owed sites still in use under the current site count.
  std::vector<int> OwedSitesInUse() const;
  void UpdateOwedSites(const std::vector<SiteReport>& sites, bool addressChanged);

  const AppSettings& settings_;
  CheckHost& host_;
  Publisher& publisher_;
  AddressCheckOptions options_;
  std::function<void(const std::string&)> addressShown_;
  std::string lastAddress_;
  std::string lastIpv6Address_;
  std::vector<int> owedSites_;
  std::string routerPageText_;
};

}  // namespace zepa2
