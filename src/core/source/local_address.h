// This host's own IPv4 address, for running without a router page.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zepa2 {

struct InterfaceAddress {
  std::string name;
  std::string address;  // dotted IPv4
  bool up = false;
  bool loopback = false;
};

// The interface of the default route (destination 0, flag RTF_UP) in /proc/net/route text.
std::optional<std::string> DefaultRouteInterface(std::string_view procNetRoute);

// The address of the default route's interface when it has one; else the first interface that
// is up and not loopback; else nothing. A loopback address is never chosen.
std::optional<std::string> PickLocalAddress(const std::optional<std::string>& defaultInterface,
                                            const std::vector<InterfaceAddress>& interfaces);

// The above on the live system (/proc/net/route and getifaddrs).
std::optional<std::string> GetLocalAddress();

}  // namespace zepa2
