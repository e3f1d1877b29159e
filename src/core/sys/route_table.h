// The kernel's route tables (/proc/net/route, /proc/net/ipv6_route): the best way out of this machine.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zepa2 {

struct DefaultRoute {
  std::string device;   // the interface the route leaves by
  std::string gateway;  // IPv4: the gateway, dotted; empty when the route has none
  unsigned long metric = 0;
};

// The up default route (0.0.0.0/0) with the lowest metric, the first of equals; with
// viaGatewayOnly, only routes through a gateway count. Nothing when there is none.
std::optional<DefaultRoute> BestIpv4DefaultRoute(std::string_view procNetRoute, bool viaGatewayOnly);

// The same for IPv6 (::/0, up, not a reject route, not on lo); gateway stays empty.
std::optional<DefaultRoute> BestIpv6DefaultRoute(std::string_view procNetIpv6Route);

// A route table's text, read bounded; empty when it cannot be read.
std::string ReadRouteTable(const std::filesystem::path& file);

}  // namespace zepa2
