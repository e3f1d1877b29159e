// Asking the router itself for the public address, by the source the settings chose: the check
// and the router dialog's connection test go through here alike.
#pragma once

#include <optional>

#include "core/settings/app_settings.h"
#include "core/source/gateway_answer.h"
#include "core/sys/stop_token.h"

namespace zepa2 {

// The router's own protocol of a source; nothing for the router page, which is fetched instead.
enum class GatewayProtocol { Upnp, NatPmp };
std::optional<GatewayProtocol> GatewayProtocolOf(AddressSource source);

// Asks by protocol with the settings' IGD address or NAT-PMP gateway (empty: discover / the
// default route's gateway).
GatewayAnswer AskGateway(GatewayProtocol protocol, const AppSettings& settings, const StopToken* stop);

}  // namespace zepa2
