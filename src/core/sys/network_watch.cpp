#include "core/sys/network_watch.h"

#include <arpa/inet.h>
#include <linux/if_addr.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>

namespace zepa2 {
namespace {

using Kind = NetworkFact::Kind;

// A dump of a few hundred addresses and routes comes in well under this; a kernel that says
// nothing for this long is not going to.
constexpr int kDumpWaitMilliseconds = 2000;

std::string AddressText(int family, const void* bytes, std::size_t size) {
  if ((family == AF_INET && size < 4) || (family == AF_INET6 && size < 16)) return {};
  char text[INET6_ADDRSTRLEN] = {};
  return inet_ntop(family, bytes, text, sizeof text) ? std::string(text) : std::string();
}

// The attributes of a message after its fixed header, by type (the last of a type wins).
template <typename Header>
std::vector<const rtattr*> Attributes(const nlmsghdr* message, int count) {
  std::vector<const rtattr*> found(static_cast<std::size_t>(count), nullptr);
  const auto* attribute = reinterpret_cast<const rtattr*>(reinterpret_cast<const char*>(NLMSG_DATA(message)) +
                                                          NLMSG_ALIGN(sizeof(Header)));
  int left = static_cast<int>(message->nlmsg_len) - static_cast<int>(NLMSG_LENGTH(sizeof(Header)));
  for (; RTA_OK(attribute, left); attribute = RTA_NEXT(attribute, left)) {
    if (attribute->rta_type < count) found[attribute->rta_type] = attribute;
  }
  return found;
}

std::optional<std::uint32_t> U32(const rtattr* attribute) {
  if (!attribute || RTA_PAYLOAD(attribute) < sizeof(std::uint32_t)) return std::nullopt;
  std::uint32_t value = 0;
  std::memcpy(&value, RTA_DATA(attribute), sizeof value);
  return value;
}

std::string AddressIn(int family, const rtattr* attribute) {
  return attribute ? AddressText(family, RTA_DATA(attribute), RTA_PAYLOAD(attribute)) : std::string();
}

void ReadAddress(const nlmsghdr* message, std::vector<NetworkFact>& facts) {
  if (message->nlmsg_len < NLMSG_LENGTH(sizeof(ifaddrmsg))) return;
  const auto* header = static_cast<const ifaddrmsg*>(NLMSG_DATA(message));
  if (header->ifa_family != AF_INET && header->ifa_family != AF_INET6) return;
  // Host scope (127.0.0.1, ::1) and link scope (fe80::) never leave this machine or its link.
  if (header->ifa_scope >= RT_SCOPE_LINK) return;
  const auto attributes = Attributes<ifaddrmsg>(message, IFA_MAX + 1);
  std::string address = AddressIn(header->ifa_family, attributes[IFA_LOCAL]);
  if (address.empty()) address = AddressIn(header->ifa_family, attributes[IFA_ADDRESS]);
  if (address.empty()) return;
  const std::uint32_t flags = U32(attributes[IFA_FLAGS]).value_or(header->ifa_flags);
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
  const auto attributes = Attributes<rtmsg>(message, RTA_MAX + 1);
  if (U32(attributes[RTA_TABLE]).value_or(header->rtm_table) != RT_TABLE_MAIN) return;
  const std::string key = "route " + std::to_string(header->rtm_family) + " dev " +
                          std::to_string(U32(attributes[RTA_OIF]).value_or(0)) + " via " +
                          AddressIn(header->rtm_family, attributes[RTA_GATEWAY]) + " metric " +
                          std::to_string(U32(attributes[RTA_PRIORITY]).value_or(0)) +
                          (attributes[RTA_MULTIPATH] ? " multipath" : "");
  facts.push_back(
      {message->nlmsg_type == RTM_NEWROUTE ? Kind::DefaultRouteAdded : Kind::DefaultRouteRemoved, key});
}

struct DumpRequest {
  nlmsghdr header;
  union {
    ifaddrmsg address;
    rtmsg route;
  } body;
};

bool SendDumpRequest(int fd, std::uint16_t type, std::uint32_t sequence) {
  DumpRequest request{};
  request.header.nlmsg_len = NLMSG_LENGTH(type == RTM_GETADDR ? sizeof(ifaddrmsg) : sizeof(rtmsg));
  request.header.nlmsg_type = type;
  request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
  request.header.nlmsg_seq = sequence;
  sockaddr_nl kernel{};
  kernel.nl_family = AF_NETLINK;
  return sendto(fd, &request, request.header.nlmsg_len, 0, reinterpret_cast<sockaddr*>(&kernel),
                sizeof kernel) >= 0;
}

// One read of what the kernel sent, without blocking; empty, with errno set, when none came.
std::string_view Receive(int fd) {
  alignas(nlmsghdr) static thread_local char buffer[1 << 16];
  const ssize_t n = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
  if (n == 0) errno = EAGAIN;
  return n > 0 ? std::string_view(buffer, static_cast<std::size_t>(n)) : std::string_view();
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
    if (!SendDumpRequest(fd_, request, sequence++)) continue;
    // Changes that arrive meanwhile are learned alike: the present state is what counts.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kDumpWaitMilliseconds);
    for (bool done = false; !done;) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd ready{fd_, POLLIN, 0};
      if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0) break;
      const std::string_view messages = Receive(fd_);
      if (messages.empty() && errno != EAGAIN && errno != EINTR) break;
      for (const NetworkFact& fact : ReadNetworkFacts(messages)) {
        if (fact.kind == Kind::DumpDone) done = true;
        else if (fact.kind != Kind::Overrun) known_.Apply(fact);
      }
    }
  }
}

bool NetworkWatch::TakeChanges() {
  bool changed = false;
  for (;;) {
    const std::string_view messages = Receive(fd_);
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
