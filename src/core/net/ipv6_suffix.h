// Another machine's IPv6 address by this one's prefix: the router's delegated prefix changes, the
// machine's own interface identifier does not.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/net/address_range.h"

namespace zepa2 {

// An interface identifier ("::1234:5678:9abc:def0") and the prefix length it follows ("::12/56";
// 64 when not given).
struct Ipv6Suffix {
  Ipv6Bytes identifier{};
  int prefixLength = 64;
};

inline constexpr int kDefaultSuffixPrefixLength = 64;

// The suffix a setting spells; on refusal nothing, and problem (when given) gets the message of
// the text table saying why: not an address, all zeros, bits inside the prefix, a length out of
// 1..127.
std::optional<Ipv6Suffix> ParseIpv6Suffix(std::string_view text, const char** problem = nullptr);

// The first prefixLength bits of address followed by the identifier's remaining bits, in the
// compressed text form; empty when address is no IPv6 address.
std::string Ipv6WithSuffix(std::string_view address, const Ipv6Suffix& suffix);

// The network of address: "2001:db8:1:2::/64"; empty when address is no IPv6 address or the
// length is out of 0..128.
std::string Ipv6PrefixText(std::string_view address, int prefixLength);

}  // namespace zepa2
