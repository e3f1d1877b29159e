#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <linux/if_addr.h>

#include "core/source/ipv6_address.h"
#include "support/temp_dir.h"

namespace zepa2 {
namespace {

KernelIpv6Address Entry(const char* address, std::uint32_t flags, const char* device = "eth0",
                        std::uint32_t preferred = 3600) {
  KernelIpv6Address entry{device, {}, 64, flags, preferred};
  EXPECT_EQ(inet_pton(AF_INET6, address, entry.bytes.data()), 1) << address;
  return entry;
}

// Prefixes outside the documentation ranges, which are never published.
const KernelIpv6Address kEui64 = Entry("2a01:4f8:1:2:211:22ff:fe33:4455", IFA_F_PERMANENT);
const KernelIpv6Address kStablePrivacy = Entry("2a01:4f8:1:2:89ab:12cd:34ef:5678", IFA_F_STABLE_PRIVACY);
const KernelIpv6Address kPlainGlobal = Entry("2a01:4f8:1:2::5", IFA_F_PERMANENT);
const KernelIpv6Address kTemporary = Entry("2a01:4f8:1:2:aaaa:bbbb:cccc:dddd", IFA_F_TEMPORARY, "eth0", 3000);
const KernelIpv6Address kNewerTemporary = Entry("2a01:4f8:1:2:1111:2222:3333:4444", IFA_F_TEMPORARY, "eth0", 6000);
const KernelIpv6Address kOldTemporary = Entry("2a01:4f8:1:2:9999:2222:3333:4444", IFA_F_TEMPORARY | IFA_F_DEPRECATED);
const KernelIpv6Address kDeprecated = Entry("2a01:4f8:1:2:211:22ff:fe33:6677", IFA_F_DEPRECATED);
const KernelIpv6Address kTentative = Entry("2a01:4f8:1:2:211:22ff:fe33:6688", IFA_F_TENTATIVE);
const KernelIpv6Address kDadFailed = Entry("2a01:4f8:1:2:211:22ff:fe33:6699", IFA_F_DADFAILED | IFA_F_TENTATIVE);
const KernelIpv6Address kUniqueLocal = Entry("fd12:3456:789a::5", IFA_F_PERMANENT);
const KernelIpv6Address kUniqueLocalSlaac = Entry("fd00::211:22ff:fe33:4455", 0);
const KernelIpv6Address kDocumentation = Entry("2001:db8:0:1:211:22ff:fe33:4455", 0);
const KernelIpv6Address kLinkLocal = Entry("fe80::211:22ff:fe33:4455", IFA_F_PERMANENT);
const KernelIpv6Address kOtherInterface = Entry("2a01:4f8:1:3:211:aaff:febb:ccdd", 0, "wlan0");

struct ChooserCase {
  const char* name;
  std::vector<KernelIpv6Address> addresses;
  bool temporary;
  Ipv6Choice expected;
};

TEST(Ipv6Chooser, OnlyAnAddressThatReachesTheInternet) {
  const ChooserCase cases[] = {
      {"nothing listed", {}, false, {}},
      {"only link-local", {kLinkLocal}, false, {}},
      {"unique-local before a global one", {kUniqueLocal, kEui64}, false, {"2a01:4f8:1:2:211:22ff:fe33:4455", 64}},
      {"unique-local after a global one", {kEui64, kUniqueLocal}, false, {"2a01:4f8:1:2:211:22ff:fe33:4455", 64}},
      {"unique-local alone is said", {kUniqueLocal, kLinkLocal, kUniqueLocalSlaac}, false, {"", 0, true}},
      {"unique-local and a temporary one, not asked for", {kUniqueLocal, kTemporary}, false, {"", 0, true}},
      {"unique-local of another interface is not this one's", {kOtherInterface}, false, {}},
      {"documentation addresses are never published", {kDocumentation}, false, {}},
      {"deprecated, tentative and failed are skipped", {kDeprecated, kTentative, kDadFailed}, false, {}},
      {"a temporary one is never published unasked", {kTemporary, kNewerTemporary}, false, {}},
      {"a plain global one when there is nothing better", {kTemporary, kPlainGlobal}, false, {"2a01:4f8:1:2::5", 64}},
      {"EUI-64 before a plain one listed first", {kPlainGlobal, kEui64}, false, {"2a01:4f8:1:2:211:22ff:fe33:4455", 64}},
      {"stable-privacy before a plain one listed first", {kPlainGlobal, kStablePrivacy}, false,
       {"2a01:4f8:1:2:89ab:12cd:34ef:5678", 64}},
      {"the first stable one wins", {kStablePrivacy, kEui64}, false, {"2a01:4f8:1:2:89ab:12cd:34ef:5678", 64}},
      {"asked for: the current temporary one with the most time left",
       {kEui64, kOldTemporary, kTemporary, kNewerTemporary}, true, {"2a01:4f8:1:2:1111:2222:3333:4444", 64}},
      {"asked for, none current: the stable one", {kOldTemporary, kEui64}, true,
       {"2a01:4f8:1:2:211:22ff:fe33:4455", 64}},
  };
  for (const ChooserCase& c : cases) {
    EXPECT_EQ(ChooseGlobalIpv6(c.addresses, "eth0", c.temporary), c.expected) << c.name;
  }
  EXPECT_EQ(ChooseGlobalIpv6({kEui64}, "", false), Ipv6Choice{});  // no default route: no address
  EXPECT_EQ(ChooseGlobalIpv6({kEui64, kOtherInterface}, "wlan0", false).address, "2a01:4f8:1:3:211:aaff:febb:ccdd");
  KernelIpv6Address prefix56 = kEui64;
  prefix56.prefixLength = 56;
  EXPECT_EQ(ChooseGlobalIpv6({prefix56}, "eth0", false).prefixLength, 56);
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

TEST(Ipv6Chooser, NoDefaultRouteAndNoInterfaceNamedIsNoAddress) {
  test::TempDir dir;
  EXPECT_EQ(GlobalIpv6Address({.routes = dir.path() / "ipv6_route"}), Ipv6Choice{});
  // A named interface that does not exist has no addresses.
  EXPECT_EQ(GlobalIpv6Address({.interfaceName = "zepa2-none0", .routes = dir.path() / "ipv6_route"}),
            Ipv6Choice{});
}

}  // namespace
}  // namespace zepa2
