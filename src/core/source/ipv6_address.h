// This machine's global IPv6 address, as the kernel lists it: the address pages and AAAA records
// carry beside IPv4.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/sys/ipv6_address_list.h"

namespace zepa2 {

struct Ipv6Choice {
  std::string address{};         // compressed text form; empty when none fits
  int prefixLength = 0;          // the length of the network the kernel gave the address
  bool onlyUniqueLocal = false;  // none fits, and unique-local addresses are all there is

  bool operator==(const Ipv6Choice&) const = default;
};

// Where to look and what to take ([SYSTEM] Ipv6Interface, Ipv6Temporary).
struct Ipv6Lookup {
  std::string interfaceName{};  // empty: the interface of the default IPv6 route
  bool temporary = false;       // a current temporary address before a stable one
  std::filesystem::path routes = "/proc/net/ipv6_route";
};

// The interface of the default IPv6 route with the lowest metric (unreachable and loopback
// routes left out); empty when there is none. routesText is /proc/net/ipv6_route's text.
std::string DefaultIpv6Interface(std::string_view routesText);

// Among the addresses of interfaceName, one that reaches the internet: global unicast, neither
// deprecated, tentative nor failed. A stable one (EUI-64 or stable-privacy before others, then
// the first listed); never a temporary one unless temporary is asked for, which then takes the
// current temporary address with the longest preferred time left before any stable one.
Ipv6Choice ChooseGlobalIpv6(const std::vector<KernelIpv6Address>& addresses, std::string_view interfaceName,
                            bool temporary);

// Both steps on the live system; nothing fits when the route or the addresses cannot be read.
Ipv6Choice GlobalIpv6Address(const Ipv6Lookup& lookup = {});

}  // namespace zepa2
