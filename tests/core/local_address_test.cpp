#include <gtest/gtest.h>

#include "core/source/local_address.h"

namespace zepa2 {
namespace {

const char kRoutes[] =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
    "docker0\t000011AC\t00000000\t0001\t0\t0\t0\t0000FFFF\t0\t0\t0\n"
    "wlan0\t00000000\t0100A8C0\t0003\t0\t0\t600\t00000000\t0\t0\t0\n"
    "wlan0\t0000A8C0\t00000000\t0001\t0\t0\t600\t00FFFFFF\t0\t0\t0\n";

TEST(LocalAddress, DefaultRouteInterface) {
  EXPECT_EQ(DefaultRouteInterface(kRoutes), "wlan0");
  EXPECT_EQ(DefaultRouteInterface("Iface\tDestination\n"), std::nullopt);
  EXPECT_EQ(DefaultRouteInterface(""), std::nullopt);
  // A default route that is down does not count.
  EXPECT_EQ(DefaultRouteInterface("h\neth0\t00000000\t0100A8C0\t0002\n"), std::nullopt);
}

TEST(LocalAddress, PicksTheDefaultRouteThenAnyRealInterface) {
  const std::vector<InterfaceAddress> interfaces = {
      {"lo", "127.0.0.1", true, true},
      {"docker0", "172.17.0.1", true, false},
      {"wlan0", "192.168.0.5", true, false},
      {"eth1", "10.9.9.9", false, false},
  };
  EXPECT_EQ(PickLocalAddress("wlan0", interfaces), "192.168.0.5");
  EXPECT_EQ(PickLocalAddress(std::nullopt, interfaces), "172.17.0.1");
  EXPECT_EQ(PickLocalAddress("eth1", interfaces), "172.17.0.1");  // down
  EXPECT_EQ(PickLocalAddress("lo", {interfaces[0]}), std::nullopt);
  EXPECT_EQ(PickLocalAddress(std::nullopt, {}), std::nullopt);
}

TEST(LocalAddress, LiveSystemNeverGivesLoopback) {
  const auto address = GetLocalAddress();
  if (address) {
    EXPECT_FALSE(address->starts_with("127.")) << *address;
  }
}

}  // namespace
}  // namespace zepa2
