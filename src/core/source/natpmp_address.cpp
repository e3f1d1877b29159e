#include "core/source/natpmp_address.h"

#include <arpa/inet.h>
#define ENABLE_STRNATPMPERR  // the library is built with it; the header hides it unless asked
#include <natpmp.h>
#include <poll.h>

#include <algorithm>
#include <sstream>

#include "core/sys/read_file.h"

namespace zepa2 {
namespace {

constexpr unsigned kRouteUp = 0x1;
constexpr unsigned kRouteGateway = 0x2;
constexpr std::chrono::milliseconds kStopCheck{100};

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
  std::istringstream lines{std::string(routesText)};
  std::string line;
  std::string best;
  unsigned long bestMetric = 0;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string device, dest, gateway, flags, refs, use, metric, mask;
    if (!(fields >> device >> dest >> gateway >> flags >> refs >> use >> metric >> mask)) continue;
    if (dest != "00000000" || mask != "00000000") continue;
    unsigned long flagBits = 0, metricValue = 0, gatewayValue = 0;
    try {
      flagBits = std::stoul(flags, nullptr, 16);
      metricValue = std::stoul(metric, nullptr, 10);
      gatewayValue = std::stoul(gateway, nullptr, 16);
    } catch (...) {
      continue;  // the header line and anything unreadable
    }
    if ((flagBits & (kRouteUp | kRouteGateway)) != (kRouteUp | kRouteGateway)) continue;
    if (!best.empty() && metricValue >= bestMetric) continue;
    // The kernel prints the address as the number in memory: network order read little-endian.
    in_addr address{};
    address.s_addr = static_cast<in_addr_t>(gatewayValue);
    char text[INET_ADDRSTRLEN] = {};
    if (!inet_ntop(AF_INET, &address, text, sizeof text)) continue;
    best = text;
    bestMetric = metricValue;
  }
  return best;
}

std::string NatPmpGatewayToAsk(const std::string& configured, const std::filesystem::path& routesFile) {
  if (!configured.empty()) return configured;
  const auto routes = ReadWholeFile(routesFile);
  return routes ? DefaultIpv4Gateway(*routes) : std::string();
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
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
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
