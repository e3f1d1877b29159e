// What a machine source (UPnP, NAT-PMP, a whole page) may give as the address: a dotted-quad IPv4 literal.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zepa2 {

// The literal with the white space around it trimmed: four decimal numbers 0..255 without leading
// zeros, joined by dots. 0.0.0.0 and 255.255.255.255 name no host and are refused too, as is
// everything else (a host name, markup, an error text that came with status 200).
std::optional<std::string> Ipv4Literal(std::string_view text);

}  // namespace zepa2
