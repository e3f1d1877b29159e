// How a DNS target is updated: one row per kind, read by everything that depends on the kind.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace zepa2 {

// The values are those of the settings file ([DNS] Kind%d); 0 (or an empty value) is no target.
enum class DnsKind {
  None = 0,
  Url = 1,         // a plain update URL with the address filled in
  Dyndns2 = 2,     // GET /nic/update?hostname=…&myip=… with Basic authentication
  Cloudflare = 3,  // the record's content changed through Cloudflare's API
  Rfc2136 = 4,     // a DNS UPDATE signed with a TSIG key, sent to the zone's name server
};

// The values of a target a kind uses: the dialog shows their rows, the rest stay hidden.
enum DnsField : unsigned {
  kDnsFieldUrl = 1u << 0,
  kDnsFieldUser = 1u << 1,
  kDnsFieldPass = 1u << 2,
  kDnsFieldHost = 1u << 3,
  kDnsFieldZone = 1u << 4,
  kDnsFieldRecords = 1u << 5,
  kDnsFieldMatch = 1u << 6,
  kDnsFieldApi = 1u << 7,
  kDnsFieldPin = 1u << 8,     // the update server's key can be pinned
  kDnsFieldSuffix = 1u << 9,  // another machine's AAAA by this one's prefix
  kDnsFieldAlgorithm = 1u << 10,
  kDnsFieldTtl = 1u << 11,
};

struct DnsKindRow {
  DnsKind kind;
  std::string_view statusName;  // its name in last-run.json and the metrics
  const char* caption;          // UTF-8, the DNS dialog's drop-down
  unsigned fields;              // DnsField bits
  const char* urlLabel;         // UTF-8, what the Url field holds for this kind
  const char* userLabel;        // UTF-8, what the User field holds for this kind
  const char* passLabel;        // UTF-8, what the Pass field holds for this kind

  bool Uses(DnsField field) const { return (fields & field) != 0; }
};

// Every kind, in the order of the settings values and of the dialog's drop-down.
std::span<const DnsKindRow> DnsKinds();
const DnsKindRow& DnsKindRowOf(DnsKind kind);
// The kind a settings number names; nothing for a number this version does not know (a newer
// version's kind, a typo), which is never read as another kind.
std::optional<DnsKind> DnsKindOfSetting(int value);

}  // namespace zepa2
