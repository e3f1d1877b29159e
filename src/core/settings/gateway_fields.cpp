#include "core/settings/gateway_fields.h"

#include <arpa/inet.h>

#include <string>

#include "core/net/protocol_text.h"
#include "core/net/server_address.h"
#include "core/text/messages.h"

namespace zepa2 {

std::optional<RefusedField> RefuseIgdUrl(std::string_view igdUrl) {
  if (igdUrl.empty()) return std::nullopt;
  // Checked first: the URL's path takes any byte, and this one would end a header line.
  if (!net::IsProtocolText(igdUrl)) return RefusedField{msg::kIgdUrlLabel, msg::kUnsafeFieldInDialog};
  // The parse the UPnP source makes before it asks, so what is saved is what it can use.
  if (!net::ParseHttpUrl(igdUrl)) return RefusedField{msg::kIgdUrlLabel, msg::kIgdUrlNotHttp};
  return std::nullopt;
}

std::optional<RefusedField> RefuseNatPmpGateway(std::string_view gateway) {
  if (gateway.empty()) return std::nullopt;
  if (!net::IsProtocolText(gateway)) return RefusedField{msg::kNatPmpGatewayLabel, msg::kUnsafeFieldInDialog};
  // The parse the NAT-PMP source makes of the gateway before it sends the datagram.
  in_addr address{};
  if (inet_pton(AF_INET, std::string(gateway).c_str(), &address) != 1) {
    return RefusedField{msg::kNatPmpGatewayLabel, msg::kGatewayNotIpv4};
  }
  return std::nullopt;
}

std::optional<RefusedField> RefuseGatewayField(AddressSource source, std::string_view igdUrl,
                                               std::string_view gateway) {
  switch (source) {
    case AddressSource::RouterPage:
      return std::nullopt;
    case AddressSource::Upnp:
      return RefuseIgdUrl(igdUrl);
    case AddressSource::NatPmp:
      return RefuseNatPmpGateway(gateway);
  }
  return std::nullopt;
}

}  // namespace zepa2
