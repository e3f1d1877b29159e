// The public address by UPnP: the router's root description (given, or found by SSDP), then
// GetExternalIPAddress of its WAN IP or PPP connection service.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "core/source/gateway_answer.h"
#include "core/sys/stop_token.h"

namespace zepa2 {

struct UpnpOptions {
  std::chrono::milliseconds discoveryTimeout{2'000};  // SSDP answers, and connecting to the router
  std::chrono::milliseconds answerTimeout{5'000};     // each HTTP exchange with the router
  const StopToken* stop = nullptr;
};

// The M-SEARCH datagram that asks every gateway device on the link to answer.
std::string SsdpSearchRequest(std::chrono::seconds maxWait);

// The root description URL of an SSDP answer from an Internet gateway or its WAN connection
// service: an HTTP 200 answer with a LOCATION header; nothing for any other datagram.
std::optional<std::string> SsdpAnswerLocation(std::string_view datagram);

struct IgdDiscovery {
  std::string location;  // empty when no gateway answered
  std::string reason;
  std::string otherHost{};  // set when the answer is not the default gateway's: the host that gave it
};

// Sends the search to the SSDP multicast group. The answer of the default route's gateway is taken
// at once; another host's only when the gateway has not answered by the discovery time-out (any
// device on the LAN can answer, and the first would otherwise choose where the program sends its
// requests).
IgdDiscovery DiscoverIgd(const UpnpOptions& options = {});

// The address the router's connection service reports. igdUrl is the root description's URL
// ("http://192.168.0.1:5000/rootDesc.xml"); empty asks DiscoverIgd first.
GatewayAnswer AskUpnpExternalAddress(const std::string& igdUrl, const UpnpOptions& options = {});

// The control URL, service type and event URL of the router's WAN IP (or else PPP) connection service.
struct UpnpConnectionService {
  std::string controlUrl;
  std::string serviceType;
  std::string eventUrl;
};
// The connection service a root description (fetched from url) names; nothing when it names none.
std::optional<UpnpConnectionService> ReadIgdDescription(const std::string& description,
                                                        const std::string& url);
// The address in a GetExternalIPAddress answer, or the fault's code and text as the reason.
GatewayAnswer ReadUpnpSoapAnswer(const std::string& body, long status);

struct UpnpEventUrl {
  std::string url;  // empty when there is none to subscribe to: see reason
  std::string reason;
};

// Where the router's connection service takes subscriptions to its events: the event URL of its
// description, made absolute, and only on the description's own host and port.
UpnpEventUrl FindUpnpEventUrl(const std::string& igdUrl, const UpnpOptions& options = {});

}  // namespace zepa2
