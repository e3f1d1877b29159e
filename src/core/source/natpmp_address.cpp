#include "core/source/natpmp_address.h"
#include "core/sys/stop_token.h"

#include <arpa/inet.h>
#define ENABLE_STRNATPMPERR  // the library is built with it; the header hides it unless asked
#include <natpmp.h>
#include <poll.h>

#include <algorithm>
#include <sstream>

#include "core/sys/read_file.h"

#include "core/sys/route_table.h"

namespace zepa2 {
namespace {

// Closes the library's socket on every way out.
struct NatPmpSession {
  natpmp_t handle{};
  bool open = false;
  ~NatPmpSession() {
    if (open) closenatpmp(&handle);
  }
};

std::string LibraryReason(int code) { return std::string("NAT-PMP: ") + strnatpmperr(code); }

}  // namespace

std::string DefaultIpv4Gateway(std::string_view routesText) {
  const auto route = BestIpv4DefaultRoute(routesText, true);
  return route ? route->gateway : std::string();
}

std::string NatPmpGatewayToAsk(const std::string& configured, const std::filesystem::path& routesFile) {
  if (!configured.empty()) return configured;
  return DefaultIpv4Gateway(ReadRouteTable(routesFile));
}

GatewayAnswer AskNatPmpPublicAddress(const std::string& gateway, const NatPmpOptions& options) {
  in_addr gatewayAddress{};
  if (gateway.empty()) return {{}, "NAT-PMP: no gateway (no default route)"};
  if (inet_pton(AF_INET, gateway.c_str(), &gatewayAddress) != 1) {
    return {{}, "NAT-PMP: the gateway is not an IPv4 address"};
  }
  NatPmpSession session;
  if (const int code = initnatpmp(&session.handle, 1, gatewayAddress.s_addr); code < 0) {
    return {{}, LibraryReason(code)};
  }
  session.open = true;
  if (const int code = sendpublicaddressrequest(&session.handle); code < 0) return {{}, LibraryReason(code)};

  // The library resends on its own schedule; the wait between is cut into short slices so that
  // a stop request is seen, and the whole exchange ends at the answer deadline.
  const auto deadline = std::chrono::steady_clock::now() + options.answerTimeout;
  for (;;) {
    if (options.stop && options.stop->stopRequested()) return {{}, "NAT-PMP: stopped"};
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return {{}, "NAT-PMP: no answer from " + gateway};
    pollfd socketReady{session.handle.s, POLLIN, 0};
    poll(&socketReady, 1, static_cast<int>(std::min(left, kStopCheck).count()));
    natpmpresp_t response{};
    const int code = readnatpmpresponseorretry(&session.handle, &response);
    if (code == NATPMP_TRYAGAIN) continue;
    if (code < 0) return {{}, LibraryReason(code)};
    char text[INET_ADDRSTRLEN] = {};
    if (!inet_ntop(AF_INET, &response.pnu.publicaddress.addr, text, sizeof text)) {
      return {{}, "NAT-PMP: unreadable answer"};
    }
    return {text, {}};
  }
}

}  // namespace zepa2
