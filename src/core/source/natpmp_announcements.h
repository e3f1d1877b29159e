// A NAT-PMP gateway's own word that its public address changed: the datagram it sends to every
// host of the link (224.0.0.1, port 5350) after a change.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zepa2 {

inline constexpr int kNatPmpAnnouncementPort = 5350;

// The dotted public address of an announcement (version 0, public-address answer, success);
// nothing for any other datagram.
std::optional<std::string> ReadNatPmpAnnouncement(std::string_view datagram);

class NatPmpAnnouncements {
 public:
  // Nothing, with the reason, when the port cannot be listened on.
  static std::unique_ptr<NatPmpAnnouncements> Open(std::string& reason);
  ~NatPmpAnnouncements();
  NatPmpAnnouncements(const NatPmpAnnouncements&) = delete;
  NatPmpAnnouncements& operator=(const NatPmpAnnouncements&) = delete;

  int descriptor() const { return fd_; }
  // Reads every waiting datagram without blocking and gives the addresses announced by `gateway`
  // (dotted IPv4). Anyone on the link can send to the port: a datagram from another address is
  // dropped unread, as the protocol asks.
  std::vector<std::string> Take(const std::string& gateway);

 private:
  explicit NatPmpAnnouncements(int fd) : fd_(fd) {}
  int fd_;
};

}  // namespace zepa2
