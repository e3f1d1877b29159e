// What asking the router itself (UPnP, NAT-PMP) for the public address came to.
#pragma once

#include <string>

namespace zepa2 {

struct GatewayAnswer {
  std::string address;   // dotted IPv4 as the router gave it; empty when none came
  std::string reason{};  // why none came (ASCII), else empty
  std::string note{};    // something the user should know although an address came (ASCII), else empty

  bool found() const { return !address.empty(); }
};

}  // namespace zepa2
