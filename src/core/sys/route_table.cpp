#include "core/sys/route_table.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <sstream>
#include <vector>

#include "core/sys/read_file.h"

namespace zepa2 {
namespace {

constexpr unsigned long kIpv4RouteUp = 0x1;
constexpr unsigned long kIpv4RouteGateway = 0x2;
constexpr unsigned long kIpv6RouteUp = 0x0001;
constexpr unsigned long kIpv6RouteReject = 0x0200;
// The tables are a few lines on any machine; a routing daemon's full table stays well below this.
constexpr std::size_t kMaxRouteTableBytes = 8u << 20;

std::optional<unsigned long> Number(const std::string& text, int base) {
  if (text.empty()) return std::nullopt;
  std::size_t used = 0;
  try {
    const unsigned long value = std::stoul(text, &used, base);
    if (used == text.size()) return value;
  } catch (...) {
  }
  return std::nullopt;
}

// Keeps candidate when it is better than best: a lower metric, or the first of equals.
void KeepBetter(std::optional<DefaultRoute>& best, DefaultRoute candidate) {
  if (!best || candidate.metric < best->metric) best = std::move(candidate);
}

}  // namespace

std::optional<DefaultRoute> BestIpv4DefaultRoute(std::string_view procNetRoute, bool viaGatewayOnly) {
  std::istringstream lines{std::string(procNetRoute)};
  std::optional<DefaultRoute> best;
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string device, dest, gateway, flags, refs, use, metric, mask;
    if (!(fields >> device >> dest >> gateway >> flags >> refs >> use >> metric >> mask)) continue;
    if (dest != "00000000" || mask != "00000000") continue;  // the header line fails here too
    const auto flagBits = Number(flags, 16);
    const auto metricValue = Number(metric, 10);
    const auto gatewayValue = Number(gateway, 16);
    if (!flagBits || !metricValue || !gatewayValue || !(*flagBits & kIpv4RouteUp)) continue;
    const bool viaGateway = (*flagBits & kIpv4RouteGateway) != 0;
    if (viaGatewayOnly && !viaGateway) continue;
    DefaultRoute route{device, {}, *metricValue};
    if (viaGateway) {
      // The kernel prints the address as the number in memory: network order read little-endian.
      in_addr address{};
      address.s_addr = static_cast<in_addr_t>(*gatewayValue);
      char text[INET_ADDRSTRLEN] = {};
      if (!inet_ntop(AF_INET, &address, text, sizeof text)) continue;
      route.gateway = text;
    }
    KeepBetter(best, std::move(route));
  }
  return best;
}

std::optional<DefaultRoute> BestIpv6DefaultRoute(std::string_view procNetIpv6Route) {
  std::istringstream lines{std::string(procNetIpv6Route)};
  std::optional<DefaultRoute> best;
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string dest, destBits, source, sourceBits, nextHop, metric, refs, use, flags, device;
    if (!(fields >> dest >> destBits >> source >> sourceBits >> nextHop >> metric >> refs >> use >> flags >>
          device)) {
      continue;
    }
    if (dest != std::string(32, '0') || destBits != "00" || metric.size() > 8 || flags.size() > 8) continue;
    const unsigned long flagBits = Number(flags, 16).value_or(0);
    const std::optional<unsigned long> metricValue = Number(metric, 16);
    if (!metricValue || !(flagBits & kIpv6RouteUp) || (flagBits & kIpv6RouteReject) || device == "lo")
      continue;
    KeepBetter(best, {device, {}, *metricValue});
  }
  return best;
}

std::string ReadRouteTable(const std::filesystem::path& file) {
  return ReadRegularFile(file, kMaxRouteTableBytes).value_or("");
}

}  // namespace zepa2
