#include "core/check/check_session.h"

#include <algorithm>

#include "core/targets/dns_run.h"
#include "core/source/address_extract.h"
#include "core/source/address_safety.h"
#include "core/source/decimal_address.h"
#include "core/net/ipv6_suffix.h"
#include "core/sys/route_table.h"
#include "core/source/local_address.h"
#include "core/source/gateway_source.h"
#include "core/source/ipv4_literal.h"
#include "core/log/control_escape.h"
#include "core/source/router_fetch.h"
#include "core/publish/key_trouble_text.h"
#include "core/settings/secret_reference.h"
#include "core/settings/unsafe_fields.h"
#include "core/text/cp932.h"
#include "core/text/fill_message.h"
#include "core/text/messages.h"

namespace zepa2 {

// The two ways of finding the address word their conversion lines differently.
struct CheckSession::ConversionWording {
  const char* failed;
  const char* open;
  const char* close;
};
const CheckSession::ConversionWording CheckSession::kLocalWording{
    msg::kLocalConversionFailed, msg::kLocalConversionOpen, msg::kLocalConversionClose};
const CheckSession::ConversionWording CheckSession::kRouterWording{
    msg::kRouterConversionFailed, msg::kRouterConversionOpen, msg::kRouterConversionClose};

// Asking the router itself: the start, success and failure lines of each protocol.
struct CheckSession::GatewayWording {
  const char* start;
  const char* found;
  const char* failed;
};
const CheckSession::GatewayWording CheckSession::kUpnpWording{msg::kUpnpAskStart, msg::kUpnpAddressFound,
                                                              msg::kUpnpAddressFailed};
const CheckSession::GatewayWording CheckSession::kNatPmpWording{
    msg::kNatPmpAskStart, msg::kNatPmpAddressFound, msg::kNatPmpAddressFailed};

const CheckSession::GatewayWording& CheckSession::WordingOf(GatewayProtocol protocol) {
  switch (protocol) {
    case GatewayProtocol::Upnp:
      return kUpnpWording;
    case GatewayProtocol::NatPmp:
      return kNatPmpWording;
  }
  return kUpnpWording;
}

namespace {

// The address on the router page by the settings' rule: between the markers (the whole page is a
// machine's answer, taken as the gateways' are).
std::optional<std::string> MarkedAddress(const std::string& page, const AppSettings& s) {
  ExtractedAddress found = ExtractAddress(page, s.filter1, s.filter2, s.filter3, s.filter4);
  if (found.outcome != AddressOutcome::AddressFound) return std::nullopt;
  return std::move(found.address);
}

}  // namespace

CheckSession::CheckSession(const AppSettings& settings, CheckHost& host, Publisher& publisher,
                           CheckSessionOptions options)
    : settings_(settings), host_(host), publisher_(publisher), options_(std::move(options)) {
  if (!options_.localAddress) options_.localAddress = &GetLocalAddress;
  if (!options_.onlyIpv6Route) {
    options_.onlyIpv6Route = [] {
      return BestIpv6DefaultRoute(ReadRouteTable("/proc/net/ipv6_route")) &&
             !BestIpv4DefaultRoute(ReadRouteTable("/proc/net/route"), false);
    };
  }
}

CheckReport CheckSession::Run(const RunRequest& request, const RunState& state) {
  BusyScope busy(host_);
  const std::time_t startedAt = host_.Now();
  CheckReport report = FindAddress();
  report.checkedAt = startedAt;
  report.previousAddress = state.lastAddress;
  report.state = state;
  if (report.outcome != CheckOutcome::Found || request.mode == RunMode::FindOnly) return report;
  NoteTunnelOnce();
  report = PublishIfChanged(std::move(report), request);
  // A test run shows pages; it sends no name anywhere.
  if (request.mode == RunMode::Publish) UpdateDnsNames(report, request);
  return report;
}

void CheckSession::UpdateDnsNames(CheckReport& report, const RunRequest& request) {
  if (options_.stop && options_.stop->stopRequested()) return;
  // The pages looked it up only when one of them carries it.
  if (AnyDnsTargetNeedsIpv6(settings_.dnsTargets) && !publisher_.PagesUseIpv6()) TakeIpv6(report, false);
  const DnsAddresses addresses{report.dottedAddress, report.ipv6Address};
  net::HttpGetOptions http = options_.http;
  http.stop = options_.stop;
  const std::time_t now = host_.Now();
  DnsRunResult run = UpdateDnsTargets(settings_.dnsTargets, report.state.dnsTargets, addresses, request.force,
                                      now, host_, http);
  report.dnsTargets = std::move(run.targets);
  report.state.dnsTargets = run.states;
  // A provider's outage is its own "try later": the next check waits for the longest hold.
  for (const DnsTargetState& target : run.states) {
    if (target.holdUntil > now)
      report.holdOff = std::max(report.holdOff, std::chrono::seconds(target.holdUntil - now));
  }
}

CheckReport CheckSession::FindAddress() {
  BusyScope busy(host_);
  if (settings_.useLocalAddress) return FindLocalAddress();
  // A source the settings could not give is not read as the router page: nothing is asked.
  if (settings_.unknownSource) {
    host_.AppendLog(Cp932(FillMessage(msg::kUnknownAddressSource, *settings_.unknownSource)),
                    log_color::kRed);
    CheckReport refused;
    refused.reason = "unknown address source " + *settings_.unknownSource;
    return refused;
  }
  if (const auto protocol = GatewayProtocolOf(settings_.addressSource)) {
    return TakeGatewayAnswer(WordingOf(*protocol),
                             [&] { return AskGateway(*protocol, settings_, options_.stop); });
  }
  // A network failure ends the run quietly after the connect line.
  CheckReport fetched;
  if (!FetchRouterPageText(fetched)) return fetched;
  return SearchRouterPage(std::move(fetched));
}

CheckReport CheckSession::FindLocalAddress() {
  const std::optional<std::string> local = options_.localAddress();
  if (!local) {
    host_.AppendLog(Cp932(msg::kLocalAddressError), log_color::kRed);
    return {};
  }
  host_.AppendLog(Cp932(msg::kLocalAddressObtained), log_color::kMagenta);
  return AcceptFoundAddress({}, *local, kLocalWording, false);
}

CheckReport CheckSession::TakeGatewayAnswer(const GatewayWording& wording,
                                            const std::function<GatewayAnswer()>& ask) {
  host_.AppendLog(Cp932(wording.start), log_color::kBlack);
  const GatewayAnswer answer = ask();
  if (!answer.note.empty())
    host_.AppendLog(Cp932(msg::kGatewayNoteOpen) + answer.note + Cp932(msg::kGatewayNoteClose),
                    log_color::kViolet);
  if (!answer.found()) {
    host_.AppendLog(Cp932(wording.failed) + Cp932(msg::kReasonFollows) + answer.reason, log_color::kRed);
    CheckReport notFound;
    notFound.reason = answer.reason;
    return notFound;
  }
  return TakeMachineAddress({}, answer.address, Cp932(wording.found), Cp932(wording.failed));
}

bool CheckSession::FetchRouterPageText(CheckReport& report) {
  std::string& reason = report.reason;
  const std::string& server = settings_.routerServer;
  std::string password;
  if (RouterLoginSent(settings_)) {
    // A password kept outside the settings is looked up for this request only.
    ResolvedSecret resolved = ResolveSecret(settings_.routerPass, "HTTP.Pass");
    if (!resolved.secret) {
      host_.AppendLog(UnresolvedSecretLogLine("HTTP.Pass", settings_.routerPass, resolved.problem),
                      log_color::kRed);
      reason = "password reference not resolved: " + resolved.problem;
      return false;
    }
    password = std::move(*resolved.secret);
  }
  if (settings_.unreadableRouterPin) {
    host_.AppendLog(server + Cp932(FillMessage(msg::kUnreadablePin, *settings_.unreadableRouterPin)),
                    log_color::kRed);
    reason = "unreadable pin " + *settings_.unreadableRouterPin;
    return false;
  }
  const RouterRequest request = RouterRequestOf(settings_, std::move(password));
  const net::HttpCredentials login = request.credentials.value_or(net::HttpCredentials{});
  if (const char* field = UnsafeRouterField(server, request.path, login.user, login.password)) {
    host_.AppendLog(UnsafeFieldLogLine(field), log_color::kRed);
    reason = "a line break or NUL in a router field";
    return false;
  }
  host_.AppendLog(server + Cp932(msg::kServerConnectStart), log_color::kBlack);
  net::HttpGetOptions http = options_.http;
  http.stop = options_.stop;
  RouterPageAnswer got = FetchRouterPage(request, host_, http);
  reason = got.reason;
  if (got.key != net::KeyTrouble::None) {
    host_.AppendFailureLog(KeyTroubleLogLine(server, got.key, net::PinnedKeyKind::TlsPublicKey),
                           log_color::kRed, got.reason);
  }
  report.routerPageText = std::move(got.body);
  switch (got.kind) {
    case RouterPageKind::NoAnswer:
      return false;
    case RouterPageKind::BrokenOff:
      host_.AppendLog(server + Cp932(msg::kServerConnected), log_color::kGreen);
      return false;
    case RouterPageKind::Page:
      host_.AppendLog(server + Cp932(msg::kServerConnected), log_color::kGreen);
      break;
    case RouterPageKind::BadStatus:  // searched all the same: the search reports the missing address
      break;
  }
  host_.AppendLog(server + Cp932(msg::kServerDisconnected), log_color::kBlack);
  return true;
}

CheckReport CheckSession::SearchRouterPage(CheckReport fetched) {
  host_.AppendLog(Cp932(msg::kAddressSearchStart), log_color::kViolet);
  if (settings_.wholePage) {
    const std::string page = fetched.routerPageText;
    return TakeMachineAddress(std::move(fetched), page, Cp932(msg::kAddressFound),
                              Cp932(msg::kAddressNotFound));
  }
  const std::optional<std::string> found = MarkedAddress(fetched.routerPageText, settings_);
  if (!found) {
    host_.AppendLog(Cp932(msg::kAddressNotFound), log_color::kRed);
    return fetched;
  }
  host_.AppendLog(Cp932(msg::kAddressFound), log_color::kGreen);
  return AcceptFoundAddress(std::move(fetched), *found, kRouterWording, true);
}

CheckReport CheckSession::TakeMachineAddress(CheckReport report, std::string_view text,
                                             const std::string& foundLine, const std::string& failedLine) {
  const std::optional<std::string> address = Ipv4Literal(text);
  if (!address) {
    report.reason =
        "not an IPv4 address: " + EscapeControlBytes(text.substr(0, 64)) + (text.size() > 64 ? "..." : "");
    host_.AppendLog(failedLine, log_color::kRed);
    host_.AppendFailureLog(Cp932(msg::kAddressNotIpv4), log_color::kRed, report.reason);
    return report;
  }
  host_.AppendLog(foundLine, log_color::kGreen);
  return AcceptFoundAddress(std::move(report), *address, kRouterWording, true);
}

CheckReport CheckSession::AcceptFoundAddress(CheckReport report, std::string address,
                                             const ConversionWording& wording, bool noteNonPublic) {
  if (!IsPublishableAddress(address)) {
    host_.AppendLog(Cp932(msg::kAddressNotFound), log_color::kRed);
    host_.AppendLog(Cp932(msg::kAddressNotPublishable), log_color::kRed);
    return report;
  }
  if (noteNonPublic) report.nonPublic = NonPublicReasonOf(address);
  report.dottedAddress = address;
  if (report.nonPublic != NonPublicReason::None) {
    host_.AppendLog(Cp932(msg::kNonPublicNoteOpen) + Cp932(NonPublicReasonText(report.nonPublic)) +
                        Cp932(msg::kNonPublicNoteClose),
                    log_color::kViolet);
  }
  if (!ApplyDecimalForm(address, wording)) return report;
  report.outcome = CheckOutcome::Found;
  report.address = std::move(address);
  return report;
}

bool CheckSession::ApplyDecimalForm(std::string& address, const ConversionWording& wording) {
  if (!settings_.decimalAddress) return true;
  const auto decimal = ToDecimalAddress(address);
  if (!decimal) {
    host_.AppendLog(Cp932(wording.failed), log_color::kRed);
    return false;
  }
  host_.AppendLog(
      Cp932(wording.open) + address + Cp932(msg::kConversionArrow) + *decimal + Cp932(wording.close),
      log_color::kGreen);
  address = *decimal;
  return true;
}

CheckReport CheckSession::PublishIfChanged(CheckReport found, const RunRequest& request) {
  CheckReport report = std::move(found);
  const std::string& address = report.address;
  const bool ipv6Used = LookUpIpv6(report);
  if (options_.stop && options_.stop->stopRequested()) return report;

  RunState& state = report.state;
  const bool changed =
      address != state.lastAddress || (ipv6Used && report.ipv6Address != state.lastIpv6Address);
  PublishRequest publish{address, report.ipv6Address, request.onlySites, request.mode == RunMode::ShowPages,
                         report.ipv6Prefix};
  if (!changed && !request.force) {
    // A site that failed last time still shows an old page: it gets this one, the others rest.
    std::vector<int> owed = OwedSitesInUse(state.owedSites);
    if (!request.onlySites.empty()) {
      std::erase_if(owed, [&](int n) {
        return std::find(request.onlySites.begin(), request.onlySites.end(), n) == request.onlySites.end();
      });
    }
    if (owed.empty()) {
      host_.AppendLog(Cp932(msg::kAddressUnchanged), log_color::kViolet);
      report.outcome = CheckOutcome::Unchanged;
      return report;
    }
    publish.onlySites = std::move(owed);
  }
  state.lastAddress = address;
  state.lastIpv6Address = report.ipv6Address;
  if (options_.addressTaken) options_.addressTaken(address);
  report.sites = publisher_.Publish(publish);
  state.owedSites = OwedSitesAfter(std::move(state.owedSites), report.sites, changed);

  const auto count = [&](auto pred) { return std::count_if(report.sites.begin(), report.sites.end(), pred); };
  const auto done = count([](const SiteReport& s) { return s.kind == SiteResultKind::Done; });
  const auto failed = count([](const SiteReport& s) { return !SiteSucceeded(s.kind); });
  if (failed == 0) {
    report.outcome = done > 0 ? CheckOutcome::Published : CheckOutcome::Found;
  } else {
    report.outcome = done > 0 ? CheckOutcome::PartlyPublished : CheckOutcome::PublishFailed;
  }
  return report;
}

bool CheckSession::LookUpIpv6(CheckReport& report) {
  if (!publisher_.PagesUseIpv6()) return false;
  TakeIpv6(report, true);
  return true;
}

void CheckSession::TakeIpv6(CheckReport& report, bool sayNone) {
  const Ipv6Choice choice = options_.ipv6Address
                                ? options_.ipv6Address()
                                : GlobalIpv6Address({settings_.ipv6Interface, settings_.ipv6Temporary});
  report.ipv6Address = choice.address;
  report.ipv6Prefix = Ipv6PrefixText(choice.address, choice.prefixLength);
  if (!choice.address.empty()) {
    host_.AppendLog(Cp932(msg::kIpv6AddressOpen) + choice.address + Cp932(msg::kIpv6AddressClose),
                    log_color::kGreen);
  } else if (choice.onlyUniqueLocal) {
    host_.AppendLog(Cp932(msg::kIpv6OnlyUniqueLocal), log_color::kViolet);
  } else if (sayNone) {
    host_.AppendLog(Cp932(msg::kIpv6AddressNone), log_color::kViolet);
  }
}

void CheckSession::NoteTunnelOnce() {
  if (tunnelNoted_ || !options_.onlyIpv6Route()) return;
  tunnelNoted_ = true;
  host_.AppendLog(Cp932(msg::kIpv4OnlyThroughTunnel), log_color::kViolet);
}

std::vector<int> CheckSession::OwedSitesInUse(const std::vector<int>& owed) const {
  std::vector<int> inUse;
  for (int n : owed) {
    if (n <= SitesToPublish(settings_.siteCount)) inUse.push_back(n);
  }
  return inUse;
}

std::vector<int> OwedSitesAfter(std::vector<int> owed, const std::vector<SiteReport>& sites,
                                bool addressChanged) {
  for (const SiteReport& site : sites) {
    const auto at = std::find(owed.begin(), owed.end(), site.number);
    const bool isOwed = site.kind == SiteResultKind::Shown ? addressChanged || at != owed.end()
                                                           : site.kind != SiteResultKind::Done;
    if (isOwed && at == owed.end()) owed.push_back(site.number);
    if (!isOwed && at != owed.end()) owed.erase(at);
  }
  std::sort(owed.begin(), owed.end());
  return owed;
}

}  // namespace zepa2
