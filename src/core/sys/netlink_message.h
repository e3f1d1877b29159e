// Reading and asking the kernel's rtnetlink: the pieces every reader of its messages shares.
#pragma once

#include <linux/netlink.h>
#include <linux/rtnetlink.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zepa2 {

// The attributes of a message after its fixed header, by type (the last of a type wins).
template <typename Header>
std::vector<const rtattr*> NetlinkAttributes(const nlmsghdr* message, int count) {
  std::vector<const rtattr*> found(static_cast<std::size_t>(count), nullptr);
  const auto* attribute = reinterpret_cast<const rtattr*>(reinterpret_cast<const char*>(NLMSG_DATA(message)) +
                                                          NLMSG_ALIGN(sizeof(Header)));
  int left = static_cast<int>(message->nlmsg_len) - static_cast<int>(NLMSG_LENGTH(sizeof(Header)));
  for (; RTA_OK(attribute, left); attribute = RTA_NEXT(attribute, left)) {
    if (attribute->rta_type < count) found[attribute->rta_type] = attribute;
  }
  return found;
}

// A 32-bit attribute's value; nothing when it is missing or short.
std::optional<std::uint32_t> NetlinkU32(const rtattr* attribute);

// An address attribute of the family in text form; empty when missing or short.
std::string NetlinkAddressText(int family, const rtattr* attribute);

// Asks for a dump of type (RTM_GETADDR, RTM_GETROUTE) of every family and hands each buffer of
// the answer to take (messages that arrive meanwhile come along) until the kernel says the dump is
// done. False when the request could not go or the kernel said nothing for 2 s.
bool ReadNetlinkDump(int fd, std::uint16_t type, std::uint32_t sequence,
                     const std::function<void(std::string_view messages)>& take);

// One read of what the kernel sent, without blocking; empty, with errno set, when none came. The
// text lives until the next call on this thread.
std::string_view ReceiveNetlink(int fd);

}  // namespace zepa2
