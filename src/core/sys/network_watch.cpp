#include "core/sys/network_watch.h"

#include "core/sys/netlink_message.h"

#include <arpa/inet.h>
#include <linux/if_addr.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

namespace zepa2 {
namespace {

using Kind = NetworkFact::Kind;

void ReadAddress(const nlmsghdr* message, std::vector<NetworkFact>& facts) {
  if (message->nlmsg_len < NLMSG_LENGTH(sizeof(ifaddrmsg))) return;
  const auto* header = static_cast<const ifaddrmsg*>(NLMSG_DATA(message));
  if (header->ifa_family != AF_INET && header->ifa_family != AF_INET6) return;
  // Host scope (127.0.0.1, ::1) and link scope (fe80::) never leave this machine or its link.
  if (header->ifa_scope >= RT_SCOPE_LINK) return;
  const auto attributes = NetlinkAttributes<ifaddrmsg>(message, IFA_MAX + 1);
  std::string address = NetlinkAddressText(header->ifa_family, attributes[IFA_LOCAL]);
  if (address.empty()) address = NetlinkAddressText(header->ifa_family, attributes[IFA_ADDRESS]);
  if (address.empty()) return;
  const std::uint32_t flags = NetlinkU32(attributes[IFA_FLAGS]).value_or(header->ifa_flags);
  // An IPv6 address under duplicate detection cannot be used yet; once it passes, the kernel
  // announces it again without the flag, and that is when it arrives.
  const bool usable = (flags & (IFA_F_TENTATIVE | IFA_F_DADFAILED)) == 0;
  const bool added = message->nlmsg_type == RTM_NEWADDR && usable;
  facts.push_back({added ? Kind::AddressAdded : Kind::AddressRemoved,
                   "address " + std::to_string(header->ifa_index) + " " + address + "/" +
                       std::to_string(header->ifa_prefixlen)});
}

void ReadRoute(const nlmsghdr* message, std::vector<NetworkFact>& facts) {
  if (message->nlmsg_len < NLMSG_LENGTH(sizeof(rtmsg))) return;
  const auto* header = static_cast<const rtmsg*>(NLMSG_DATA(message));
  if (header->rtm_family != AF_INET && header->rtm_family != AF_INET6) return;
  if (header->rtm_dst_len != 0 || header->rtm_type != RTN_UNICAST) return;
  const auto attributes = NetlinkAttributes<rtmsg>(message, RTA_MAX + 1);
  if (NetlinkU32(attributes[RTA_TABLE]).value_or(header->rtm_table) != RT_TABLE_MAIN) return;
  const std::string key = "route " + std::to_string(header->rtm_family) + " dev " +
                          std::to_string(NetlinkU32(attributes[RTA_OIF]).value_or(0)) + " via " +
                          NetlinkAddressText(header->rtm_family, attributes[RTA_GATEWAY]) + " metric " +
                          std::to_string(NetlinkU32(attributes[RTA_PRIORITY]).value_or(0)) +
                          (attributes[RTA_MULTIPATH] ? " multipath" : "");
  facts.push_back(
      {message->nlmsg_type == RTM_NEWROUTE ? Kind::DefaultRouteAdded : Kind::DefaultRouteRemoved, key});
}

}  // namespace

std::vector<NetworkFact> ReadNetworkFacts(std::string_view messages) {
  std::vector<NetworkFact> facts;
  const auto* message = reinterpret_cast<const nlmsghdr*>(messages.data());
  int left = static_cast<int>(messages.size());
  for (; NLMSG_OK(message, left); message = NLMSG_NEXT(message, left)) {
    switch (message->nlmsg_type) {
      case RTM_NEWADDR:
      case RTM_DELADDR:
        ReadAddress(message, facts);
        break;
      case RTM_NEWROUTE:
      case RTM_DELROUTE:
        ReadRoute(message, facts);
        break;
      case NLMSG_DONE:
      case NLMSG_ERROR:  // a refused dump ends as surely as a finished one
        facts.push_back({Kind::DumpDone, {}});
        break;
      case NLMSG_OVERRUN:
        facts.push_back({Kind::Overrun, {}});
        break;
      default:
        break;
    }
  }
  return facts;
}

bool KnownNetwork::Apply(const NetworkFact& fact) {
  switch (fact.kind) {
    case Kind::AddressAdded:
    case Kind::DefaultRouteAdded:
      return known_.insert(fact.key).second;
    case Kind::AddressRemoved:
    case Kind::DefaultRouteRemoved:
      return known_.erase(fact.key) > 0;
    case Kind::Overrun:
      return true;
    case Kind::DumpDone:
      return false;
  }
  return false;
}

std::unique_ptr<NetworkWatch> NetworkWatch::Open(std::string& reason) {
  const int fd = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE);
  if (fd < 0) {
    reason = std::string("netlink: ") + std::strerror(errno);
    return nullptr;
  }
  std::unique_ptr<NetworkWatch> watch(new NetworkWatch(fd));
  sockaddr_nl local{};
  local.nl_family = AF_NETLINK;
  local.nl_groups = RTMGRP_IPV4_IFADDR | RTMGRP_IPV6_IFADDR | RTMGRP_IPV4_ROUTE | RTMGRP_IPV6_ROUTE;
  if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
    reason = std::string("netlink: ") + std::strerror(errno);
    return nullptr;
  }
  watch->LearnPresentState();
  return watch;
}

NetworkWatch::~NetworkWatch() { ::close(fd_); }

void NetworkWatch::LearnPresentState() {
  std::uint32_t sequence = 1;
  for (const std::uint16_t request : {RTM_GETADDR, RTM_GETROUTE}) {
    // Changes that arrive meanwhile are learned alike: the present state is what counts.
    ReadNetlinkDump(fd_, request, sequence++, [this](std::string_view messages) {
      for (const NetworkFact& fact : ReadNetworkFacts(messages)) {
        if (fact.kind != Kind::DumpDone && fact.kind != Kind::Overrun) known_.Apply(fact);
      }
    });
  }
}

bool NetworkWatch::TakeChanges() {
  bool changed = false;
  for (;;) {
    const std::string_view messages = ReceiveNetlink(fd_);
    if (messages.empty() && errno == EINTR) continue;
    if (messages.empty() && errno == ENOBUFS) {
      // The kernel dropped messages: what was lost cannot be told, so it is learned again.
      known_ = {};
      LearnPresentState();
      changed = true;
      continue;
    }
    if (messages.empty()) return changed;
    for (const NetworkFact& fact : ReadNetworkFacts(messages)) {
      changed = known_.Apply(fact) || changed;
    }
  }
}

}  // namespace zepa2
