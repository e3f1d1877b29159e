// Which IPv4 addresses are not public, and why: a router that hands out one of these sits behind
// another NAT (or was asked the wrong question), and the page it leads to cannot be reached.
#pragma once

#include <string_view>

namespace zepa2 {

enum class NonPublicReason {
  None,               // a public address, or not a dotted IPv4 address at all
  ThisNetwork,        // 0.0.0.0/8
  Private,            // 10/8, 172.16/12, 192.168/16
  SharedNat,          // 100.64/10: the provider's carrier-grade NAT
  Loopback,           // 127/8
  LinkLocal,          // 169.254/16
  MulticastReserved,  // 224/4 and everything above
};

// The reason a dotted IPv4 address ("a.b.c.d", each 0..255) is not public; None for a public one
// and for any text that is not such an address.
NonPublicReason NonPublicReasonOf(std::string_view address);

}  // namespace zepa2
