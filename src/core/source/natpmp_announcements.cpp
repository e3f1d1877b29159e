#include "core/source/natpmp_announcements.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zepa2 {
namespace {

constexpr const char* kAllHostsGroup = "224.0.0.1";
constexpr unsigned char kPublicAddressAnswer = 128;
constexpr std::size_t kAnnouncementSize = 12;

std::string Failure(const char* step) {
  return std::string("NAT-PMP: ") + step + ": " + std::strerror(errno);
}

}  // namespace

std::optional<std::string> ReadNatPmpAnnouncement(std::string_view datagram) {
  if (datagram.size() < kAnnouncementSize) return std::nullopt;
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(datagram[i]); };
  if (byte(0) != 0 || byte(1) != kPublicAddressAnswer || byte(2) != 0 || byte(3) != 0) return std::nullopt;
  in_addr address{};
  std::memcpy(&address.s_addr, datagram.data() + 8, 4);
  char text[INET_ADDRSTRLEN] = {};
  if (!inet_ntop(AF_INET, &address, text, sizeof text)) return std::nullopt;
  return std::string(text);
}

std::unique_ptr<NatPmpAnnouncements> NatPmpAnnouncements::Open(std::string& reason) {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) {
    reason = Failure("socket");
    return nullptr;
  }
  std::unique_ptr<NatPmpAnnouncements> listener(new NatPmpAnnouncements(fd));
  // The window and zepa2-check may both listen; the group's datagrams reach each of them.
  const int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &on, sizeof on);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(kNatPmpAnnouncementPort);
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
    reason = Failure("port 5350");
    return nullptr;
  }
  // Every host is in the all-hosts group already; joining says so for the default interface and
  // fails harmlessly where there is no multicast route (the datagrams sent to this host still come).
  ip_mreq group{};
  inet_pton(AF_INET, kAllHostsGroup, &group.imr_multiaddr);
  group.imr_interface.s_addr = htonl(INADDR_ANY);
  setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &group, sizeof group);
  return listener;
}

NatPmpAnnouncements::~NatPmpAnnouncements() { ::close(fd_); }

std::vector<std::string> NatPmpAnnouncements::Take(const std::string& gateway) {
  std::vector<std::string> announced;
  in_addr expected{};
  const bool knowGateway = inet_pton(AF_INET, gateway.c_str(), &expected) == 1;
  for (;;) {
    char datagram[64];
    sockaddr_in from{};
    socklen_t fromSize = sizeof from;
    const ssize_t n =
        recvfrom(fd_, datagram, sizeof datagram, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), &fromSize);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return announced;
    if (!knowGateway || from.sin_family != AF_INET || from.sin_addr.s_addr != expected.s_addr) continue;
    if (auto address = ReadNatPmpAnnouncement({datagram, static_cast<std::size_t>(n)})) {
      announced.push_back(std::move(*address));
    }
  }
}

}  // namespace zepa2
