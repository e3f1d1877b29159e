#include <gtest/gtest.h>

#include "core/sys/route_table.h"

namespace zepa2 {
namespace {

constexpr const char* kIpv4Header =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";

// A point-to-point link's default route has no gateway: it is the way out for this host's own
// address, but no NAT-PMP gateway to ask.
TEST(RouteTable, Ipv4DefaultRoutesByMetricWithOrWithoutAGateway) {
  const std::string routes = std::string(kIpv4Header) +
                             "eth0\t00000000\t0101A8C0\t0003\t0\t0\t600\t00000000\t0\t0\t0\n"
                             "ppp0\t00000000\t00000000\t0001\t0\t0\t100\t00000000\t0\t0\t0\n"
                             "wlan0\t00000000\t0100A8C0\t0003\t0\t0\t600\t00000000\t0\t0\t0\n"
                             "down0\t00000000\t0102A8C0\t0002\t0\t0\t1\t00000000\t0\t0\t0\n"
                             "eth0\t0000A8C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n";
  const auto any = BestIpv4DefaultRoute(routes, false);
  ASSERT_TRUE(any);
  EXPECT_EQ(any->device, "ppp0");
  EXPECT_EQ(any->gateway, "");
  const auto viaGateway = BestIpv4DefaultRoute(routes, true);
  ASSERT_TRUE(viaGateway);
  EXPECT_EQ(viaGateway->device, "eth0");  // the first of equal metrics; the down route never counts
  EXPECT_EQ(viaGateway->gateway, "192.168.1.1");

  for (const std::string& none : {std::string(kIpv4Header), std::string(), std::string("garbage\n\n")}) {
    EXPECT_FALSE(BestIpv4DefaultRoute(none, false)) << none;
  }
}

TEST(RouteTable, Ipv6DefaultRouteSkipsRejectAndLoopback) {
  const std::string zero(32, '0');
  const std::string routes =
      zero + " 00 " + zero + " 00 " + zero + " ffffffff 00000001 00000000 00200200 lo\n" +
      zero + " 00 " + zero + " 00 fe800000000000000000000000000001 00000400 00000001 00000000 00000003 wlan0\n" +
      zero + " 00 " + zero + " 00 fe800000000000000000000000000001 00000100 00000001 00000000 00000003 eth0\n";
  const auto best = BestIpv6DefaultRoute(routes);
  ASSERT_TRUE(best);
  EXPECT_EQ(best->device, "eth0");
}

}  // namespace
}  // namespace zepa2
