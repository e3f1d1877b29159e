#include "core/settings/dns_kind.h"

#include <array>

#include "core/text/messages.h"

namespace zepa2 {
namespace {

constexpr unsigned kEveryKindUses =
    kDnsFieldPass | kDnsFieldHost | kDnsFieldRecords | kDnsFieldSuffix | kDnsFieldPin;

constexpr std::array<DnsKindRow, 5> kRows{{
    {DnsKind::None, "none", msg::kDnsKindNone, 0, msg::kDnsUrlLabel, msg::kDnsUserLabel, msg::kDnsPassLabel},
    {DnsKind::Url, "url", "URL", kEveryKindUses | kDnsFieldUrl | kDnsFieldUser | kDnsFieldMatch,
     msg::kDnsUrlLabel, msg::kDnsUserLabel, msg::kDnsPassLabel},
    {DnsKind::Dyndns2, "dyndns2", "dyndns2", kEveryKindUses | kDnsFieldUrl | kDnsFieldUser,
     msg::kDnsServerLabel, msg::kDnsUserLabel, msg::kDnsPassLabel},
    {DnsKind::Cloudflare, "cloudflare", "Cloudflare", kEveryKindUses | kDnsFieldZone | kDnsFieldApi,
     msg::kDnsUrlLabel, msg::kDnsUserLabel, msg::kDnsTokenLabel},
    {DnsKind::Rfc2136, "rfc2136", "RFC 2136",
     kDnsFieldUrl | kDnsFieldZone | kDnsFieldHost | kDnsFieldUser | kDnsFieldAlgorithm | kDnsFieldPass |
         kDnsFieldTtl | kDnsFieldRecords,
     msg::kDnsServerLabel, msg::kDnsKeyNameLabel, msg::kDnsSecretLabel},
}};

// The table is indexed by the settings value; a row out of place would name another kind.
constexpr bool RowsInSettingsOrder() {
  for (std::size_t i = 0; i < kRows.size(); ++i) {
    if (static_cast<std::size_t>(kRows[i].kind) != i) return false;
  }
  return true;
}
static_assert(RowsInSettingsOrder());

}  // namespace

std::span<const DnsKindRow> DnsKinds() { return kRows; }

const DnsKindRow& DnsKindRowOf(DnsKind kind) { return kRows[static_cast<std::size_t>(kind)]; }

std::optional<DnsKind> DnsKindOfSetting(int value) {
  if (value < 0 || static_cast<std::size_t>(value) >= kRows.size()) return std::nullopt;
  return kRows[static_cast<std::size_t>(value)].kind;
}

}  // namespace zepa2
