// The public address by NAT-PMP: one public-address request to the gateway, retried until it answers.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/source/gateway_answer.h"
#include "core/sys/stop_token.h"

namespace zepa2 {

struct NatPmpOptions {
  std::chrono::milliseconds answerTimeout{5'000};
  const StopToken* stop = nullptr;  // a stop request ends the wait within a tenth of a second
};

// The gateway of the default IPv4 route with the lowest metric, dotted; empty when there is none.
// routesText is /proc/net/route's text.
std::string DefaultIpv4Gateway(std::string_view routesText);

// The gateway to ask: configured when set, else the default route's from routesFile.
std::string NatPmpGatewayToAsk(const std::string& configured,
                               const std::filesystem::path& routesFile = "/proc/net/route");

// Asks gateway (dotted IPv4) on the NAT-PMP port for its public address.
GatewayAnswer AskNatPmpPublicAddress(const std::string& gateway, const NatPmpOptions& options = {});

}  // namespace zepa2
