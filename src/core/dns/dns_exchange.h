// One DNS message sent to a name server and its answer taken back: over UDP, and over TCP when the
// answer is truncated or UDP brings none.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/sys/stop_token.h"

namespace zepa2::dns {

struct NameServer {
  std::string host;  // a name or an address (an IPv6 one without its brackets)
  int port = 53;
};

// "host", "host:port", "[v6]", "[v6]:port" or a bare IPv6 address; port 53 unless given. Spaces,
// slashes, a scheme, an empty host or a bad port give nothing.
std::optional<NameServer> ParseNameServer(std::string_view text);

struct ExchangeLimits {
  std::chrono::milliseconds udpWait{3'000};   // for the answer to the datagram
  std::chrono::milliseconds tcpWait{10'000};  // for the TCP exchange, when it follows
  const StopToken* stop = nullptr;            // looked at before each exchange
};

struct Exchange {
  std::vector<std::uint8_t> answer;  // the answer's bytes; empty when none came
  std::string problem;               // UTF-8: why none came; empty with an answer
  bool cancelled = false;            // the run was stopped before an answer came
};

// Sends message (a whole DNS message) and gives the answer's bytes, unread but for the header's
// truncation bit. The server's name is looked up through the system's resolver.
Exchange ExchangeMessage(const NameServer& server, const std::vector<std::uint8_t>& message,
                         const ExchangeLimits& limits);

}  // namespace zepa2::dns
