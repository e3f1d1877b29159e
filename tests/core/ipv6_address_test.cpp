#include <gtest/gtest.h>

#include "core/source/ipv6_address.h"
#include "support/temp_dir.h"

namespace zepa2 {
namespace {

// Lines as the kernel writes them: address, index, prefix length, scope, flags, interface.
constexpr const char* kEui64 = "20010db800000001021122fffe334455 02 40 00 80     eth0\n";
constexpr const char* kStablePrivacy = "20010db80000000189ab12cd34ef5678 02 40 00 880     eth0\n";
constexpr const char* kPlainGlobal = "20010db8000000017777888899990001 02 40 00 80     eth0\n";
constexpr const char* kTemporary = "20010db800000001aaaabbbbccccdddd 02 40 00 01     eth0\n";
constexpr const char* kDeprecated = "20010db8000000010211223344556677 02 40 00 a0     eth0\n";
constexpr const char* kTentative = "20010db8000000010211223344556688 02 40 00 c0     eth0\n";
constexpr const char* kDadFailed = "20010db8000000010211223344556699 02 40 00 88     eth0\n";
constexpr const char* kLinkLocal = "fe80000000000000021122fffe334455 02 40 20 80     eth0\n";
constexpr const char* kLoopback = "00000000000000000000000000000001 01 80 10 80       lo\n";
constexpr const char* kOtherInterface = "20010db8000000020211aafffebbccdd 03 40 00 80    wlan0\n";

struct ChooserCase {
  const char* name;
  std::string addresses;
  const char* expected;
};

TEST(Ipv6Chooser, PicksAStableGlobalAddressOfTheRouteInterface) {
  const ChooserCase cases[] = {
      {"nothing listed", "", ""},
      {"only link-local and loopback", std::string(kLinkLocal) + kLoopback, ""},
      {"temporary, deprecated, tentative and failed are skipped",
       std::string(kTemporary) + kDeprecated + kTentative + kDadFailed, ""},
      {"a plain global address when there is nothing better", std::string(kTemporary) + kPlainGlobal,
       "2001:db8:0:1:7777:8888:9999:1"},
      {"EUI-64 before a plain one listed first", std::string(kPlainGlobal) + kEui64,
       "2001:db8:0:1:211:22ff:fe33:4455"},
      {"stable-privacy before a plain one listed first", std::string(kPlainGlobal) + kStablePrivacy,
       "2001:db8:0:1:89ab:12cd:34ef:5678"},
      {"the first stable one wins", std::string(kStablePrivacy) + kEui64,
       "2001:db8:0:1:89ab:12cd:34ef:5678"},
      {"another interface's address is not this route's", kOtherInterface, ""},
      {"broken lines are skipped", std::string("zz 02 40 00 80 eth0\n2001 02\n") + kPlainGlobal,
       "2001:db8:0:1:7777:8888:9999:1"},
  };
  for (const ChooserCase& c : cases) {
    EXPECT_EQ(ChooseGlobalIpv6(c.addresses, "eth0"), c.expected) << c.name;
  }
  EXPECT_EQ(ChooseGlobalIpv6(kEui64, ""), "");  // no default route: no address
}

// Lines as the kernel writes them: destination, length, source, length, next hop, metric,
// references, use, flags, interface.
std::string Route(const char* dest, const char* bits, const char* metric, const char* flags,
                  const char* device) {
  return std::string(dest) + " " + bits + " 00000000000000000000000000000000 00 " +
         "fe800000000000000000000000000001 " + metric + " 00000001 00000000 " + flags + " " + device + "\n";
}

TEST(Ipv6Chooser, DefaultRouteInterfaceHasTheLowestMetric) {
  const std::string zero(32, '0');
  const std::string routes = Route("20010db8000000010000000000000000", "40", "00000100", "00000001", "eth1") +
                             Route(zero.c_str(), "00", "ffffffff", "00200200", "lo") +  // unreachable
                             Route(zero.c_str(), "00", "00000400", "00000003", "wlan0") +
                             Route(zero.c_str(), "00", "00000100", "00000003", "eth0") +
                             Route(zero.c_str(), "00", "00000050", "00000002", "down0");  // not up
  EXPECT_EQ(DefaultIpv6Interface(routes), "eth0");
  EXPECT_EQ(DefaultIpv6Interface(Route(zero.c_str(), "00", "ffffffff", "00200200", "lo")), "");
}

TEST(Ipv6Chooser, ReadsTheGivenFiles) {
  test::TempDir dir;
  const std::string zero(32, '0');
  Ipv6Sources sources{dir.path() / "if_inet6", dir.path() / "ipv6_route"};
  EXPECT_EQ(GlobalIpv6Address(sources), "");  // neither file exists
  test::WriteFile(sources.addresses, std::string(kOtherInterface) + kEui64);
  test::WriteFile(sources.routes, Route(zero.c_str(), "00", "00000400", "00000003", "eth0"));
  EXPECT_EQ(GlobalIpv6Address(sources), "2001:db8:0:1:211:22ff:fe33:4455");
}

}  // namespace
}  // namespace zepa2
