#include "core/net/address_range.h"

#include <arpa/inet.h>

#include <cstdint>
#include <string>

#include "core/text/messages.h"

namespace zepa2 {
namespace {

struct Range {
  std::uint32_t first;
  int prefixBits;
  NonPublicReason reason;
};

constexpr std::uint32_t Ip(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  return a << 24 | b << 16 | c << 8 | d;
}

constexpr Range kNonPublic[] = {
    {Ip(0, 0, 0, 0), 8, NonPublicReason::ThisNetwork},
    {Ip(10, 0, 0, 0), 8, NonPublicReason::Private},
    {Ip(100, 64, 0, 0), 10, NonPublicReason::SharedNat},
    {Ip(127, 0, 0, 0), 8, NonPublicReason::Loopback},
    {Ip(169, 254, 0, 0), 16, NonPublicReason::LinkLocal},
    {Ip(172, 16, 0, 0), 12, NonPublicReason::Private},
    {Ip(192, 0, 0, 0), 29, NonPublicReason::TunnelEnd},
    {Ip(192, 168, 0, 0), 16, NonPublicReason::Private},
    {Ip(224, 0, 0, 0), 3, NonPublicReason::MulticastReserved},  // 224/4 and 240/4
};

}  // namespace

NonPublicReason NonPublicReasonOf(std::string_view address) {
  in_addr parsed{};
  // inet_pton takes the strict dotted form only: no octal, no short forms, no trailing bytes.
  if (address.size() > 15 || inet_pton(AF_INET, std::string(address).c_str(), &parsed) != 1) {
    return NonPublicReason::None;
  }
  const std::uint32_t value = ntohl(parsed.s_addr);
  for (const Range& range : kNonPublic) {
    const std::uint32_t mask = ~std::uint32_t{0} << (32 - range.prefixBits);
    if ((value & mask) == range.first) return range.reason;
  }
  return NonPublicReason::None;
}

const char* NonPublicReasonText(NonPublicReason reason) {
  switch (reason) {
    case NonPublicReason::ThisNetwork:
      return msg::kNonPublicThisNetwork;
    case NonPublicReason::Private:
      return msg::kNonPublicPrivate;
    case NonPublicReason::SharedNat:
      return msg::kNonPublicSharedNat;
    case NonPublicReason::TunnelEnd:
      return msg::kNonPublicTunnelEnd;
    case NonPublicReason::Loopback:
      return msg::kNonPublicLoopback;
    case NonPublicReason::LinkLocal:
      return msg::kNonPublicLinkLocal;
    case NonPublicReason::MulticastReserved:
      return msg::kNonPublicMulticastReserved;
    case NonPublicReason::None:
      break;
  }
  return "";
}

Ipv6Class Ipv6ClassOf(const Ipv6Bytes& a) {
  if ((a[0] & 0xFE) == 0xFC) return Ipv6Class::UniqueLocal;
  if (a[0] == 0xFE && (a[1] & 0xC0) == 0x80) return Ipv6Class::LinkLocal;
  if ((a[0] & 0xE0) != 0x20) return Ipv6Class::Other;
  const bool db8 = a[0] == 0x20 && a[1] == 0x01 && a[2] == 0x0D && a[3] == 0xB8;
  const bool x3fff = a[0] == 0x3F && a[1] == 0xFF && (a[2] & 0xF0) == 0x00;
  return db8 || x3fff ? Ipv6Class::Documentation : Ipv6Class::Global;
}

Ipv6Class Ipv6ClassOf(std::string_view address) {
  Ipv6Bytes bytes{};
  if (address.size() > 45 || inet_pton(AF_INET6, std::string(address).c_str(), bytes.data()) != 1)
    return Ipv6Class::Other;
  return Ipv6ClassOf(bytes);
}

}  // namespace zepa2
