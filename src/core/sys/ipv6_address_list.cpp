#include "core/sys/ipv6_address_list.h"

#include <linux/if_addr.h>
#include <net/if.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/sys/netlink_message.h"

namespace zepa2 {
namespace {

std::string InterfaceName(unsigned index) {
  char name[IF_NAMESIZE] = {};
  return if_indextoname(index, name) ? std::string(name) : std::string();
}

}  // namespace

std::vector<KernelIpv6Address> ReadIpv6Addresses(std::string_view messages,
                                                 std::string (*indexName)(unsigned index)) {
  std::vector<KernelIpv6Address> found;
  const auto* message = reinterpret_cast<const nlmsghdr*>(messages.data());
  int left = static_cast<int>(messages.size());
  for (; NLMSG_OK(message, left); message = NLMSG_NEXT(message, left)) {
    if (message->nlmsg_type != RTM_NEWADDR || message->nlmsg_len < NLMSG_LENGTH(sizeof(ifaddrmsg))) continue;
    const auto* header = static_cast<const ifaddrmsg*>(NLMSG_DATA(message));
    if (header->ifa_family != AF_INET6) continue;
    const auto attributes = NetlinkAttributes<ifaddrmsg>(message, IFA_MAX + 1);
    const rtattr* address = attributes[IFA_ADDRESS] ? attributes[IFA_ADDRESS] : attributes[IFA_LOCAL];
    if (!address || RTA_PAYLOAD(address) < 16) continue;
    KernelIpv6Address entry;
    entry.interfaceName = indexName(header->ifa_index);
    std::memcpy(entry.bytes.data(), RTA_DATA(address), 16);
    entry.prefixLength = header->ifa_prefixlen;
    entry.flags = NetlinkU32(attributes[IFA_FLAGS]).value_or(header->ifa_flags);
    if (const rtattr* cache = attributes[IFA_CACHEINFO];
        cache && RTA_PAYLOAD(cache) >= sizeof(ifa_cacheinfo)) {
      ifa_cacheinfo info{};
      std::memcpy(&info, RTA_DATA(cache), sizeof info);
      entry.preferredSeconds = info.ifa_prefered;
    }
    found.push_back(std::move(entry));
  }
  return found;
}

std::optional<std::vector<KernelIpv6Address>> ListIpv6Addresses(std::string& reason) {
  const int fd = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE);
  if (fd < 0) {
    reason = std::string("netlink: ") + std::strerror(errno);
    return std::nullopt;
  }
  std::vector<KernelIpv6Address> all;
  const bool done = ReadNetlinkDump(fd, RTM_GETADDR, 1, [&all](std::string_view messages) {
    for (auto& entry : ReadIpv6Addresses(messages, &InterfaceName)) all.push_back(std::move(entry));
  });
  ::close(fd);
  if (!done) {
    reason = "netlink: the kernel did not list its addresses";
    return std::nullopt;
  }
  return all;
}

}  // namespace zepa2
