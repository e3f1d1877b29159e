#include "core/source/local_address.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "core/sys/route_table.h"

namespace zepa2 {
namespace {

struct IfaddrsDeleter {
  void operator()(ifaddrs* list) const { freeifaddrs(list); }
};

std::vector<InterfaceAddress> ListIpv4Interfaces() {
  std::vector<InterfaceAddress> out;
  ifaddrs* raw = nullptr;
  if (getifaddrs(&raw) != 0) return out;
  std::unique_ptr<ifaddrs, IfaddrsDeleter> list(raw);
  for (const ifaddrs* it = raw; it != nullptr; it = it->ifa_next) {
    if (it->ifa_addr == nullptr || it->ifa_addr->sa_family != AF_INET) continue;
    char text[INET_ADDRSTRLEN] = {};
    const auto* in = reinterpret_cast<const sockaddr_in*>(it->ifa_addr);
    if (inet_ntop(AF_INET, &in->sin_addr, text, sizeof text) == nullptr) continue;
    out.push_back({it->ifa_name, text, (it->ifa_flags & IFF_UP) != 0, (it->ifa_flags & IFF_LOOPBACK) != 0});
  }
  return out;
}

bool IsLoopback(const InterfaceAddress& i) { return i.loopback || i.address.starts_with("127."); }

}  // namespace

std::optional<std::string> DefaultRouteInterface(std::string_view procNetRoute) {
  const auto route = BestIpv4DefaultRoute(procNetRoute, false);
  if (!route) return std::nullopt;
  return route->device;
}

std::optional<std::string> PickLocalAddress(const std::optional<std::string>& defaultInterface,
                                            const std::vector<InterfaceAddress>& interfaces) {
  if (defaultInterface) {
    for (const auto& i : interfaces) {
      if (i.name == *defaultInterface && i.up && !IsLoopback(i)) return i.address;
    }
  }
  for (const auto& i : interfaces) {
    if (i.up && !IsLoopback(i)) return i.address;
  }
  return std::nullopt;
}

std::optional<std::string> GetLocalAddress() {
  return PickLocalAddress(DefaultRouteInterface(ReadRouteTable("/proc/net/route")), ListIpv4Interfaces());
}

}  // namespace zepa2
