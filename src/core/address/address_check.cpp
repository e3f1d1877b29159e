#include "core/address/address_check.h"

#include <algorithm>

#include "core/address/address_extract.h"
#include "core/address/address_safety.h"
#include "core/address/decimal_address.h"
#include "core/address/ipv6_address.h"
#include "core/address/local_address.h"
#include "core/address/natpmp_address.h"
#include "core/address/router_fetch.h"
#include "core/address/upnp_address.h"
#include "core/publish/page_publisher.h"
#include "core/net/key_trouble_text.h"
#include "core/net/protocol_text.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"

namespace zepa2 {

// The two ways of finding the address word their conversion lines differently.
struct AddressCheck::ConversionWording {
  const char* failed;
  const char* open;
  const char* close;
};
const AddressCheck::ConversionWording AddressCheck::kLocalWording{
    msg::kLocalConversionFailed, msg::kLocalConversionOpen, msg::kLocalConversionClose};
const AddressCheck::ConversionWording AddressCheck::kRouterWording{
    msg::kRouterConversionFailed, msg::kRouterConversionOpen, msg::kRouterConversionClose};

// Asking the router itself: the start, success and failure lines of each protocol.
struct AddressCheck::GatewayWording {
  const char* start;
  const char* found;
  const char* failed;
};
const AddressCheck::GatewayWording AddressCheck::kUpnpWording{
    msg::kUpnpAskStart, msg::kUpnpAddressFound, msg::kUpnpAddressFailed};
const AddressCheck::GatewayWording AddressCheck::kNatPmpWording{
    msg::kNatPmpAskStart, msg::kNatPmpAddressFound, msg::kNatPmpAddressFailed};

namespace {

const char* NonPublicText(NonPublicReason reason) {
  switch (reason) {
    case NonPublicReason::ThisNetwork: return msg::kNonPublicThisNetwork;
    case NonPublicReason::Private: return msg::kNonPublicPrivate;
    case NonPublicReason::SharedNat: return msg::kNonPublicSharedNat;
    case NonPublicReason::Loopback: return msg::kNonPublicLoopback;
    case NonPublicReason::LinkLocal: return msg::kNonPublicLinkLocal;
    case NonPublicReason::MulticastReserved: return msg::kNonPublicMulticastReserved;
    case NonPublicReason::None: break;
  }
  return "";
}

// The address on the router page by the settings' rule: the whole page, or between the markers.
std::optional<std::string> RouterPageAddress(const std::string& page, const AppSettings& s) {
  if (s.wholePage) return WholePageAddress(page);
  ExtractedAddress found = ExtractAddress(page, s.filter1, s.filter2, s.filter3, s.filter4);
  if (found.outcome != AddressOutcome::AddressFound) return std::nullopt;
  return std::move(found.address);
}

}  // namespace

AddressCheck::AddressCheck(const AppSettings& settings, CheckHost& host, Publisher& publisher,
                           AddressCheckOptions options)
    : settings_(settings), host_(host), publisher_(publisher), options_(std::move(options)) {
  if (!options_.localAddress) options_.localAddress = &GetLocalAddress;
  if (!options_.ipv6Address) options_.ipv6Address = [] { return GlobalIpv6Address(); };
}

void AddressCheck::SetAddressShown(std::function<void(const std::string&)> addressShown) {
  addressShown_ = std::move(addressShown);
}

CheckReport AddressCheck::RunAddressCheck(bool force) {
  BusyScope busy(host_);
  CheckReport found = FindAddress();
  if (found.outcome != CheckOutcome::Found) return found;
  return PublishIfChanged(std::move(found), force);
}

CheckReport AddressCheck::FindAddress() {
  BusyScope busy(host_);
  if (settings_.useLocalAddress) return FindLocalAddress();
  switch (SourceOf(settings_)) {
    case AddressSource::Upnp:
      return TakeGatewayAnswer(kUpnpWording, [this] {
        return AskUpnpExternalAddress(settings_.igdUrl, {.stop = options_.stop});
      });
    case AddressSource::NatPmp:
      return TakeGatewayAnswer(kNatPmpWording, [this] {
        return AskNatPmpPublicAddress(NatPmpGatewayToAsk(settings_.natPmpGateway), {.stop = options_.stop});
      });
    case AddressSource::RouterPage:
      break;
  }
  // A network failure ends the run quietly after the connect line.
  CheckReport notFetched;
  if (!FetchRouterPageText(notFetched.reason)) return notFetched;
  return SearchRouterPage();
}

CheckReport AddressCheck::FindLocalAddress() {
  const std::optional<std::string> local = options_.localAddress();
  if (!local) {
    host_.AppendLog(Cp932(msg::kLocalAddressError), log_color::kRed);
    return {};
  }
  host_.AppendLog(Cp932(msg::kLocalAddressObtained), log_color::kMagenta);
  return AcceptFoundAddress(*local, kLocalWording, false);
}

CheckReport AddressCheck::TakeGatewayAnswer(const GatewayWording& wording,
                                            const std::function<GatewayAnswer()>& ask) {
  host_.AppendLog(Cp932(wording.start), log_color::kBlack);
  const GatewayAnswer answer = ask();
  if (!answer.found()) {
    host_.AppendLog(Cp932(wording.failed) + Cp932(msg::kReasonFollows) + answer.reason, log_color::kRed);
    CheckReport notFound;
    notFound.reason = answer.reason;
    return notFound;
  }
  host_.AppendLog(Cp932(wording.found), log_color::kGreen);
  return AcceptFoundAddress(answer.address, kRouterWording, true);
}

bool AddressCheck::FetchRouterPageText(std::string& reason) {
  const std::string& server = settings_.routerServer;
  std::optional<net::HttpCredentials> credentials;
  if (settings_.routerAuth == 1) credentials = {settings_.routerUser, settings_.routerPass};
  const net::HttpCredentials login = credentials.value_or(net::HttpCredentials{});
  if (const char* field =
          net::UnsafeRouterField(server, settings_.routerPage, login.user, login.password)) {
    host_.AppendLog(net::UnsafeFieldLogLine(field), log_color::kRed);
    reason = "a line break or NUL in a router field";
    return false;
  }
  host_.AppendLog(server + Cp932(msg::kServerConnectStart), log_color::kBlack);
  net::HttpGetOptions http = options_.http;
  http.stop = options_.stop;
  http.pin = settings_.routerPin;
  net::HttpGetResult got = GetRouterPage(server, settings_.routerPage, credentials, http);
  reason = got.reason;
  if (got.key != net::KeyTrouble::None) {
    host_.AppendFailureLog(net::KeyTroubleLogLine(server, got.key, net::TransferMode::FtpTls),
                           log_color::kRed, got.reason);
  }
  if (got.status == 0) return false;
  host_.Pause(kRouterAnswerPause);
  routerPageText_ = std::move(got.body);
  if (got.status == 200) host_.AppendLog(server + Cp932(msg::kServerConnected), log_color::kGreen);
  if (got.kind == net::HttpGetKind::Failed) return false;  // broke off while reading the body
  host_.AppendLog(server + Cp932(msg::kServerDisconnected), log_color::kBlack);
  return true;
}

CheckReport AddressCheck::SearchRouterPage() {
  host_.AppendLog(Cp932(msg::kAddressSearchStart), log_color::kViolet);
  const std::optional<std::string> found = RouterPageAddress(routerPageText_, settings_);
  if (!found) {
    host_.AppendLog(Cp932(msg::kAddressNotFound), log_color::kRed);
    return {};
  }
  host_.AppendLog(Cp932(msg::kAddressFound), log_color::kGreen);
  return AcceptFoundAddress(*found, kRouterWording, true);
}

CheckReport AddressCheck::AcceptFoundAddress(std::string address, const ConversionWording& wording,
                                             bool noteNonPublic) {
  CheckReport report;
  if (!IsPublishableAddress(address)) {
    host_.AppendLog(Cp932(msg::kAddressNotFound), log_color::kRed);
    host_.AppendLog(Cp932(msg::kAddressNotPublishable), log_color::kRed);
    return report;
  }
  if (noteNonPublic) report.nonPublic = NonPublicReasonOf(address);
  if (report.nonPublic != NonPublicReason::None) {
    host_.AppendLog(Cp932(msg::kNonPublicNoteOpen) + Cp932(NonPublicText(report.nonPublic)) +
                        Cp932(msg::kNonPublicNoteClose),
                    log_color::kViolet);
  }
  if (!ApplyDecimalForm(address, wording)) return report;
  report.outcome = CheckOutcome::Found;
  report.address = std::move(address);
  return report;
}

bool AddressCheck::ApplyDecimalForm(std::string& address, const ConversionWording& wording) {
  if (!settings_.decimalAddress) return true;
  const auto decimal = ToDecimalAddress(address);
  if (!decimal) {
    host_.AppendLog(Cp932(wording.failed), log_color::kRed);
    return false;
  }
  host_.AppendLog(Cp932(wording.open) + address + Cp932(msg::kConversionArrow) + *decimal +
                      Cp932(wording.close),
                  log_color::kGreen);
  address = *decimal;
  return true;
}

CheckReport AddressCheck::PublishIfChanged(CheckReport found, bool force) {
  CheckReport report = std::move(found);
  const std::string& address = report.address;
  const bool ipv6Used = LookUpIpv6(report);
  if (options_.stop && options_.stop->stopRequested()) return report;

  const bool changed = address != lastAddress_ || (ipv6Used && report.ipv6Address != lastIpv6Address_);
  report.addressChanged = changed;
  std::vector<int> onlySites;
  if (!changed && !force) {
    // A site that failed last time still shows an old page: it gets this one, the others rest.
    onlySites = OwedSitesInUse();
    if (onlySites.empty()) {
      host_.AppendLog(Cp932(msg::kAddressUnchanged), log_color::kViolet);
      report.outcome = CheckOutcome::Unchanged;
      return report;
    }
  }
  lastAddress_ = address;
  lastIpv6Address_ = report.ipv6Address;
  if (addressShown_) addressShown_(lastAddress_);
  report.sites = publisher_.PublishAddresses(address, report.ipv6Address, onlySites);
  UpdateOwedSites(report.sites, changed);

  const auto count = [&](auto pred) {
    return std::count_if(report.sites.begin(), report.sites.end(), pred);
  };
  const auto done = count([](const SiteReport& s) { return s.kind == SiteResultKind::Done; });
  const auto failed = count([](const SiteReport& s) { return !SiteSucceeded(s.kind); });
  if (failed == 0) {
    report.outcome = done > 0 ? CheckOutcome::Published : CheckOutcome::Found;
  } else {
    report.outcome = done > 0 ? CheckOutcome::PartlyPublished : CheckOutcome::PublishFailed;
  }
  return report;
}

bool AddressCheck::LookUpIpv6(CheckReport& report) {
  if (!publisher_.PagesUseIpv6()) return false;
  report.ipv6Address = options_.ipv6Address();
  if (report.ipv6Address.empty()) {
    host_.AppendLog(Cp932(msg::kIpv6AddressNone), log_color::kViolet);
  } else {
    host_.AppendLog(Cp932(msg::kIpv6AddressOpen) + report.ipv6Address + Cp932(msg::kIpv6AddressClose),
                    log_color::kGreen);
  }
  return true;
}

std::vector<int> AddressCheck::OwedSitesInUse() const {
  std::vector<int> inUse;
  for (int n : owedSites_) {
    if (n <= SitesToPublish(settings_.siteCount)) inUse.push_back(n);
  }
  return inUse;
}

// A page that was only shown (a test run) leaves the site as it was, unless the address it holds
// online is now an old one.
void AddressCheck::UpdateOwedSites(const std::vector<SiteReport>& sites, bool addressChanged) {
  for (const SiteReport& site : sites) {
    const auto at = std::find(owedSites_.begin(), owedSites_.end(), site.number);
    const bool owed = site.kind == SiteResultKind::Shown ? addressChanged || at != owedSites_.end()
                                                         : site.kind != SiteResultKind::Done;
    if (owed && at == owedSites_.end()) owedSites_.push_back(site.number);
    if (!owed && at != owedSites_.end()) owedSites_.erase(at);
  }
  std::sort(owedSites_.begin(), owedSites_.end());
}

}  // namespace zepa2
