// This machine's global IPv6 address, as the kernel lists it: the address pages carry beside IPv4.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zepa2 {

struct Ipv6Sources {
  std::filesystem::path addresses = "/proc/net/if_inet6";
  std::filesystem::path routes = "/proc/net/ipv6_route";
};

// The interface of the default IPv6 route with the lowest metric (unreachable and loopback
// routes left out); empty when there is none. routesText is /proc/net/ipv6_route's text.
std::string DefaultIpv6Interface(std::string_view routesText);

// From /proc/net/if_inet6's text: an address of interfaceName in global scope that is neither
// temporary, deprecated, tentative nor failed; a stable one (EUI-64 or stable-privacy) before the
// others, and among equals the first listed. Compressed text form; empty when there is none.
std::string ChooseGlobalIpv6(std::string_view addressesText, std::string_view interfaceName);

// Both steps on the files; empty when either cannot be read or nothing fits.
std::string GlobalIpv6Address(const Ipv6Sources& sources = {});

}  // namespace zepa2
