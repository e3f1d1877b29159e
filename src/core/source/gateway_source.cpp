#include "core/source/gateway_source.h"

#include "core/source/natpmp_address.h"
#include "core/source/upnp_address.h"

namespace zepa2 {

std::optional<GatewayProtocol> GatewayProtocolOf(AddressSource source) {
  switch (source) {
    case AddressSource::RouterPage:
      return std::nullopt;
    case AddressSource::Upnp:
      return GatewayProtocol::Upnp;
    case AddressSource::NatPmp:
      return GatewayProtocol::NatPmp;
  }
  return std::nullopt;
}

GatewayAnswer AskGateway(GatewayProtocol protocol, const AppSettings& settings, const StopToken* stop) {
  switch (protocol) {
    case GatewayProtocol::Upnp:
      return AskUpnpExternalAddress(settings.igdUrl, {.stop = stop});
    case GatewayProtocol::NatPmp:
      return AskNatPmpPublicAddress(NatPmpGatewayToAsk(settings.natPmpGateway), {.stop = stop});
  }
  return {};
}

}  // namespace zepa2
