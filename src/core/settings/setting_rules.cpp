#include "core/settings/setting_rules.h"

#include <array>

#include "core/net/ipv6_suffix.h"
#include "core/net/s3_transport.h"
#include "core/net/server_key.h"
#include "core/schedule/interval_field.h"
#include "core/settings/gateway_fields.h"
#include "core/settings/notify_fields.h"
#include "core/settings/unsafe_fields.h"
#include "core/text/fill_message.h"
#include "core/text/messages.h"

namespace zepa2 {
namespace {

struct DialogRange {
  std::string_view key;
  NumberRange range;
  const char* message;  // the dialog's own box, or nullptr for the common wording
};

// Only fields whose file value may hold more than the control does: a box, the source and the
// notice choice carry their range in the layout table already.
constexpr std::array kDialogRanges{
    DialogRange{"SYSTEM.INTERVAL", {0, kIntervalMax}, msg::kIntervalInvalid},
    DialogRange{"SYSTEM.TIMENO", {0, 2}, nullptr},        // minutes, hours, days
    DialogRange{"FTP.MIRROR", {1, kSiteSlots}, nullptr},  // the site count drop-down
};

std::optional<std::string> PinProblem(const std::string& pin, std::string_view key) {
  if (pin.empty() || net::IsPinText(pin)) return std::nullopt;
  return FillMessage(msg::kConfigBadPin, key);
}

}  // namespace

std::optional<NumberRange> DialogRangeOf(std::string_view key) {
  for (const DialogRange& rule : kDialogRanges)
    if (rule.key == key) return rule.range;
  return std::nullopt;
}

std::optional<std::string> NumberProblem(std::string_view key, int value, NumberRange range) {
  if (value >= range.lowest && value <= range.highest) return std::nullopt;
  for (const DialogRange& rule : kDialogRanges)
    if (rule.key == key && rule.message) return std::string(rule.message);
  return FillMessage(msg::kConfigOutOfRange, key, std::to_string(range.lowest),
                     std::to_string(range.highest));
}

std::optional<std::string> RecordProblem(const AppSettings& s) {
  if (auto problem = PinProblem(s.routerPin, "HTTP.Pin")) return problem;
  if (const char* field = UnsafeRouterField(s.routerServer, s.routerPage, s.routerUser, s.routerPass))
    return FillMessage(msg::kUnsafeFieldInDialog, field);
  if (const auto refused = RefuseGatewayField(s.addressSource, s.igdUrl, s.natPmpGateway))
    return FillMessage(refused->reason, refused->label);
  for (int i = 0; i < kSiteSlots; ++i) {
    const FtpSite& site = s.sites[i];
    const std::string number = std::to_string(i + 1);
    if (auto problem = PinProblem(site.pin, "FTP.Pin" + number)) return problem;
    if (auto problem = SiteFieldProblem(site, i)) return problem;
  }
  for (int i = 0; i < kDnsSlots; ++i)
    if (auto problem = DnsSuffixProblem(s.dnsTargets[i].suffix, "DNS.Suffix" + std::to_string(i + 1)))
      return problem;
  return NotifyFieldProblem(s.notifyChannels);
}

std::optional<std::string> SiteFieldProblem(const FtpSite& site, int index) {
  constexpr const char* kSiteNames[kSiteSlots] = {msg::kSiteRadio1, msg::kSiteRadio2, msg::kSiteRadio3,
                                                  msg::kSiteRadio4, msg::kSiteRadio5};
  if (const char* field = UnsafeFtpSiteField(site.server, site.user, site.pass, site.uploadFile))
    return FillMessage(msg::kUnsafeFieldInDialog,
                       FillMessage(msg::kSiteFieldFormat, kSiteNames[index], field));
  if (!site.unknownMode && net::RowOf(site.mode).usesRegion && !net::IsRegionName(site.region))
    return FillMessage(msg::kBadRegionInDialog,
                       FillMessage(msg::kSiteFieldFormat, kSiteNames[index], msg::kRegionLabel));
  return std::nullopt;
}

std::optional<std::string> DnsSuffixProblem(const std::string& suffix, std::string_view name) {
  const char* problem = nullptr;
  if (suffix.empty() || ParseIpv6Suffix(suffix, &problem)) return std::nullopt;
  return FillMessage(problem, name);
}

}  // namespace zepa2
