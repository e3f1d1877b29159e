#include "core/address/address_check.h"

#include <algorithm>

#include "core/address/address_extract.h"
#include "core/address/address_safety.h"
#include "core/address/decimal_address.h"
#include "core/address/local_address.h"
#include "core/address/router_fetch.h"
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

AddressCheck::AddressCheck(const AppSettings& settings, CheckHost& host, Publisher& publisher,
                           AddressCheckOptions options)
    : settings_(settings), host_(host), publisher_(publisher), options_(std::move(options)) {
  if (!options_.localAddress) options_.localAddress = &GetLocalAddress;
}

void AddressCheck::SetAddressShown(std::function<void(const std::string&)> addressShown) {
  addressShown_ = std::move(addressShown);
}

CheckReport AddressCheck::RunAddressCheck(bool force) {
  BusyScope busy(host_);
  if (settings_.useLocalAddress) return RunLocalPath(force);
  // A network failure ends the run quietly after the connect line.
  CheckReport notFetched;
  if (!FetchRouterPageText(notFetched.reason)) return notFetched;
  return SearchRouterPage(force);
}

CheckReport AddressCheck::RunLocalPath(bool force) {
  const std::optional<std::string> local = options_.localAddress();
  if (!local) {
    host_.AppendLog(Cp932(msg::kLocalAddressError), log_color::kRed);
    return {};
  }
  host_.AppendLog(Cp932(msg::kLocalAddressObtained), log_color::kMagenta);
  std::string address = *local;
  if (!AcceptFoundAddress(address, kLocalWording)) return {};
  return PublishIfChanged(address, force);
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

CheckReport AddressCheck::SearchRouterPage(bool force) {
  host_.AppendLog(Cp932(msg::kAddressSearchStart), log_color::kViolet);
  const ExtractedAddress found = ExtractAddress(routerPageText_, settings_.filter1,
                                                settings_.filter2, settings_.filter3,
                                                settings_.filter4);
  if (found.outcome != AddressOutcome::AddressFound) {
    host_.AppendLog(Cp932(msg::kAddressNotFound), log_color::kRed);
    return {};
  }
  host_.AppendLog(Cp932(msg::kAddressFound), log_color::kGreen);
  std::string address = found.address;
  if (!AcceptFoundAddress(address, kRouterWording)) return {};
  return PublishIfChanged(address, force);
}

bool AddressCheck::AcceptFoundAddress(std::string& address, const ConversionWording& wording) {
  if (!IsPublishableAddress(address)) {
    host_.AppendLog(Cp932(msg::kAddressNotFound), log_color::kRed);
    host_.AppendLog(Cp932(msg::kAddressNotPublishable), log_color::kRed);
    return false;
  }
  return ApplyDecimalForm(address, wording);
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

CheckReport AddressCheck::PublishIfChanged(const std::string& address, bool force) {
  CheckReport report;
  report.address = address;
  report.outcome = CheckOutcome::Found;
  if (options_.stop && options_.stop->stopRequested()) return report;

  const bool changed = address != lastAddress_;
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
  if (addressShown_) addressShown_(lastAddress_);
  report.sites = publisher_.PublishAddress(address, onlySites);
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
