#include "core/sys/netlink_message.h"

#include <arpa/inet.h>
#include <linux/if_addr.h>
#include <sys/socket.h>

#include <poll.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace zepa2 {

std::optional<std::uint32_t> NetlinkU32(const rtattr* attribute) {
  if (!attribute || RTA_PAYLOAD(attribute) < sizeof(std::uint32_t)) return std::nullopt;
  std::uint32_t value = 0;
  std::memcpy(&value, RTA_DATA(attribute), sizeof value);
  return value;
}

std::string NetlinkAddressText(int family, const rtattr* attribute) {
  if (!attribute) return {};
  const std::size_t size = RTA_PAYLOAD(attribute);
  if ((family == AF_INET && size < 4) || (family == AF_INET6 && size < 16)) return {};
  char text[INET6_ADDRSTRLEN] = {};
  return inet_ntop(family, RTA_DATA(attribute), text, sizeof text) ? std::string(text) : std::string();
}

namespace {

struct DumpRequest {
  nlmsghdr header;
  union {
    ifaddrmsg address;
    rtmsg route;
  } body;
};

// A dump of a few hundred addresses and routes comes in well under this; a kernel that says
// nothing for this long is not going to.
constexpr int kDumpWaitMilliseconds = 2000;

bool SendNetlinkDump(int fd, std::uint16_t type, std::uint32_t sequence) {
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

bool EndsDump(std::string_view messages) {
  const auto* message = reinterpret_cast<const nlmsghdr*>(messages.data());
  int left = static_cast<int>(messages.size());
  for (; NLMSG_OK(message, left); message = NLMSG_NEXT(message, left)) {
    // A refused dump ends as surely as a finished one.
    if (message->nlmsg_type == NLMSG_DONE || message->nlmsg_type == NLMSG_ERROR) return true;
  }
  return false;
}

}  // namespace

bool ReadNetlinkDump(int fd, std::uint16_t type, std::uint32_t sequence,
                     const std::function<void(std::string_view messages)>& take) {
  if (!SendNetlinkDump(fd, type, sequence)) return false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kDumpWaitMilliseconds);
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd ready{fd, POLLIN, 0};
    if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0) return false;
    const std::string_view messages = ReceiveNetlink(fd);
    if (messages.empty() && errno != EAGAIN && errno != EINTR) return false;
    take(messages);
    if (EndsDump(messages)) return true;
  }
}

std::string_view ReceiveNetlink(int fd) {
  alignas(nlmsghdr) static thread_local char buffer[1 << 16];
  const ssize_t n = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
  if (n == 0) errno = EAGAIN;
  return n > 0 ? std::string_view(buffer, static_cast<std::size_t>(n)) : std::string_view();
}

}  // namespace zepa2
