#include <gtest/gtest.h>

#include "core/net/address_range.h"

namespace zepa2 {
namespace {

using enum NonPublicReason;

struct RangeCase {
  const char* first;
  const char* last;
  NonPublicReason reason;
  const char* before;  // the public address just below the range, or null at 0.0.0.0
  const char* after;   // the public address just above it, or null at the top
};

// Each range by its two ends, with the public neighbours on either side.
const RangeCase kRanges[] = {
    {"0.0.0.0", "0.255.255.255", ThisNetwork, nullptr, "1.0.0.0"},
    {"10.0.0.0", "10.255.255.255", Private, "9.255.255.255", "11.0.0.0"},
    {"100.64.0.0", "100.127.255.255", SharedNat, "100.63.255.255", "100.128.0.0"},
    {"127.0.0.0", "127.255.255.255", Loopback, "126.255.255.255", "128.0.0.0"},
    {"169.254.0.0", "169.254.255.255", LinkLocal, "169.253.255.255", "169.255.0.0"},
    {"172.16.0.0", "172.31.255.255", Private, "172.15.255.255", "172.32.0.0"},
    {"192.0.0.0", "192.0.0.7", TunnelEnd, "191.255.255.255", "192.0.0.8"},
    {"192.168.0.0", "192.168.255.255", Private, "192.167.255.255", "192.169.0.0"},
    {"224.0.0.0", "255.255.255.255", MulticastReserved, "223.255.255.255", nullptr},
};

TEST(NonPublicAddress, EveryRangeAndItsPublicNeighbours) {
  for (const RangeCase& range : kRanges) {
    SCOPED_TRACE(range.first);
    EXPECT_EQ(NonPublicReasonOf(range.first), range.reason);
    EXPECT_EQ(NonPublicReasonOf(range.last), range.reason);
    if (range.before) {
      EXPECT_EQ(NonPublicReasonOf(range.before), None) << range.before;
    }
    if (range.after) {
      EXPECT_EQ(NonPublicReasonOf(range.after), None) << range.after;
    }
  }
  EXPECT_EQ(NonPublicReasonOf("240.0.0.1"), MulticastReserved);
  EXPECT_EQ(NonPublicReasonOf("203.0.113.45"), None);
}

// Only a dotted IPv4 address is judged: other text (a decimal form, a name, a short form that
// would read as a private address) gets no note.
TEST(NonPublicAddress, TextThatIsNoDottedAddressGetsNoReason) {
  for (const char* text : {"", "3232235796", "localhost", "10.1", "010.0.0.1", "192.168.0.1 ",
                           "192.168.0.256", "::1", "192.168.0.1.5"}) {
    EXPECT_EQ(NonPublicReasonOf(text), None) << '"' << text << '"';
  }
}

// The kernel gives unique-local addresses global scope; only the address itself tells them apart.
TEST(Ipv6AddressClass, EachClassAtItsEdges) {
  using enum Ipv6Class;
  const struct {
    const char* address;
    Ipv6Class expected;
  } cases[] = {
      {"2000::", Global},
      {"2a01:4f8:1:2::5", Global},
      {"3ffe:ffff::1", Global},
      {"3fff:1000::1", Global},  // just past the newer documentation range
      {"1fff:ffff::1", Other},
      {"4000::1", Other},
      {"fc00::1", UniqueLocal},
      {"fd12:3456:789a::5", UniqueLocal},
      {"fdff:ffff::1", UniqueLocal},
      {"fe00::1", Other},
      {"fe80::1", LinkLocal},
      {"febf:ffff::1", LinkLocal},
      {"fec0::1", Other},
      {"2001:db8::1", Documentation},
      {"2001:db8:ffff::1", Documentation},
      {"2001:db9::1", Global},
      {"2001:db7:ffff::1", Global},
      {"3fff::1", Documentation},
      {"3fff:fff:ffff::1", Documentation},
      {"::1", Other},
      {"::", Other},
      {"::ffff:203.0.113.5", Other},
      {"ff02::1", Other},
      {"203.0.113.5", Other},
      {"", Other},
      {"2001:db8::1 ", Other},
  };
  for (const auto& c : cases) EXPECT_EQ(Ipv6ClassOf(c.address), c.expected) << '"' << c.address << '"';
}

}  // namespace
}  // namespace zepa2
