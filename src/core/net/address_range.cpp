#include "core/net/address_range.h"

#include <arpa/inet.h>

#include <cstdint>
#include <string>

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

}  // namespace zepa2
