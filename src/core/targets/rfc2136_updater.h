// DNS UPDATE (RFC 2136) signed with a TSIG key (RFC 8945), sent to the zone's own name server.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/targets/dns_updater.h"

namespace zepa2 {

// A target's key: its name, its base64 secret, and the algorithm's name as it goes on the wire.
struct TsigKey {
  std::string name;
  std::string secret;
  std::string algorithm;  // "hmac-sha256." and so on
};

// The wire name of an algorithm setting ("hmac-sha256" when empty); nothing for one not taken.
std::optional<std::string> TsigAlgorithmOf(const std::string& setting);

// The TTL setting's number: 300 when empty, nothing outside 1..86400 or for other text.
std::optional<std::uint32_t> UpdateTtlOf(const std::string& setting);

// What an update's answer says: NOERROR with a verified signature is success; NOTAUTH, REFUSED,
// NOTZONE, YXDOMAIN, NXRRSET and the signature errors BADKEY and BADSIG stop the target; BADTIME
// is a failure naming the clock; SERVFAIL, anything else, an answer to another message or one
// whose signature does not hold are failures. queryMac is the update's own MAC, which the
// answer's signature covers (may be empty).
DnsAnswer UpdateAnswerOf(std::span<const std::uint8_t> wire, std::uint16_t queryId, const TsigKey& key,
                         std::span<const std::uint8_t> queryMac);

class Rfc2136Updater final : public DnsUpdater {
 public:
  // One signed message replacing the family's RRset of every name (delete it, add the address
  // with the target's TTL), sent to Url (host[:port]) for Zone.
  DnsAnswer Update(const DnsTarget& target, DnsFamily family, const DnsAddresses& addresses,
                   const net::HttpGetOptions& http) const override;
  // "dns://host:port", never an HTTPS server: nothing is pinned.
  std::string ServerUrl(const DnsTarget& target) const override;
};

}  // namespace zepa2
