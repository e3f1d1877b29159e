#include "core/source/ipv6_address.h"

#include <arpa/inet.h>
#include <linux/if_addr.h>

#include "core/net/address_range.h"
#include "core/sys/route_table.h"

namespace zepa2 {
namespace {

constexpr std::uint32_t kUnusable = IFA_F_DEPRECATED | IFA_F_TENTATIVE | IFA_F_DADFAILED;

// Higher is better; 0 is never taken.
int Rank(const KernelIpv6Address& a, bool temporaryWanted) {
  const bool eui64 = a.bytes[11] == 0xFF && a.bytes[12] == 0xFE;
  if (a.flags & IFA_F_TEMPORARY) return temporaryWanted ? 3 : 0;
  return eui64 || (a.flags & IFA_F_STABLE_PRIVACY) ? 2 : 1;
}

std::string Text(const KernelIpv6Address& a) {
  char text[INET6_ADDRSTRLEN] = {};
  return inet_ntop(AF_INET6, a.bytes.data(), text, sizeof text) ? text : "";
}

}  // namespace

std::string DefaultIpv6Interface(std::string_view routesText) {
  const auto route = BestIpv6DefaultRoute(routesText);
  return route ? route->device : std::string();
}

Ipv6Choice ChooseGlobalIpv6(const std::vector<KernelIpv6Address>& addresses, std::string_view interfaceName,
                            bool temporary) {
  if (interfaceName.empty()) return {};
  const KernelIpv6Address* best = nullptr;
  int bestRank = 0;
  bool uniqueLocal = false;
  for (const KernelIpv6Address& a : addresses) {
    if (a.interfaceName != interfaceName || (a.flags & kUnusable)) continue;
    const Ipv6Class kind = Ipv6ClassOf(a.bytes);
    uniqueLocal = uniqueLocal || kind == Ipv6Class::UniqueLocal;
    if (kind != Ipv6Class::Global) continue;
    const int rank = Rank(a, temporary);
    // Among current temporary addresses the newest has the longest preferred time left.
    const bool newer = rank == 3 && best && bestRank == 3 && a.preferredSeconds > best->preferredSeconds;
    if (rank > bestRank || newer) {
      best = &a;
      bestRank = rank;
    }
  }
  if (!best) return {{}, 0, uniqueLocal};
  return {Text(*best), best->prefixLength, false};
}

Ipv6Choice GlobalIpv6Address(const Ipv6Lookup& lookup) {
  std::string interfaceName = lookup.interfaceName;
  if (interfaceName.empty()) interfaceName = DefaultIpv6Interface(ReadRouteTable(lookup.routes));
  if (interfaceName.empty()) return {};
  std::string reason;
  const auto addresses = ListIpv6Addresses(reason);
  if (!addresses) return {};
  return ChooseGlobalIpv6(*addresses, interfaceName, lookup.temporary);
}

}  // namespace zepa2
