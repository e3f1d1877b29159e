// Which IPv4 addresses are not public, and why: a router that hands out one of these sits behind
// another NAT (or was asked the wrong question), and the page it leads to cannot be reached.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace zepa2 {

enum class NonPublicReason {
  None,               // a public address, or not a dotted IPv4 address at all
  ThisNetwork,        // 0.0.0.0/8
  Private,            // 10/8, 172.16/12, 192.168/16
  SharedNat,          // 100.64/10: the provider's carrier-grade NAT
  TunnelEnd,          // 192.0.0.0/29: this end of an IPv4-in-IPv6 tunnel (DS-Lite)
  Loopback,           // 127/8
  LinkLocal,          // 169.254/16
  MulticastReserved,  // 224/4 and everything above
};

// The reason a dotted IPv4 address ("a.b.c.d", each 0..255) is not public; None for a public one
// and for any text that is not such an address.
NonPublicReason NonPublicReasonOf(std::string_view address);
// What a person reads for the reason (UTF-8, with the range); empty for None.
const char* NonPublicReasonText(NonPublicReason reason);

using Ipv6Bytes = std::array<std::uint8_t, 16>;

// What an IPv6 address reaches. Only Global is worth publishing: the kernel gives unique-local
// addresses global scope, yet nobody outside the site can reach one.
enum class Ipv6Class {
  Global,         // 2000::/3 outside the documentation ranges
  UniqueLocal,    // fc00::/7
  LinkLocal,      // fe80::/10
  Documentation,  // 2001:db8::/32, 3fff::/20
  Other,          // loopback, unspecified, multicast, IPv4-mapped and the rest of the space
};

Ipv6Class Ipv6ClassOf(const Ipv6Bytes& address);
// The text form ("2a01:4f8::5"); Other for text that is no IPv6 address.
Ipv6Class Ipv6ClassOf(std::string_view address);

}  // namespace zepa2
