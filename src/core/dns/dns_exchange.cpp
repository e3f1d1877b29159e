#include "core/dns/dns_exchange.h"

#include <ldns/ldns.h>
#include <netdb.h>
#include <sys/socket.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/net/server_address.h"
#include "core/text/messages.h"

namespace zepa2::dns {
namespace {

timeval TimevalOf(std::chrono::milliseconds wait) {
  const long ms = static_cast<long>(wait.count() < 1 ? 1 : wait.count());
  return timeval{ms / 1000, (ms % 1000) * 1000};
}

std::optional<sockaddr_storage> Resolved(const NameServer& server, socklen_t& size, std::string& problem) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_DGRAM;
  hints.ai_flags = AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const std::string port = std::to_string(server.port);
  const int error = getaddrinfo(server.host.c_str(), port.c_str(), &hints, &found);
  if (error != 0 || !found) {
    problem = std::string(msg::kDnsServerNotFound) + server.host + "（" + gai_strerror(error) + "）";
    return std::nullopt;
  }
  sockaddr_storage address{};
  std::memcpy(&address, found->ai_addr, found->ai_addrlen);
  size = found->ai_addrlen;
  freeaddrinfo(found);
  return address;
}

using Buffer = std::unique_ptr<ldns_buffer, decltype(&ldns_buffer_free)>;

}  // namespace

std::optional<NameServer> ParseNameServer(std::string_view text) {
  if (text.starts_with('[')) {
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos || close == 1) return std::nullopt;
    const std::string_view host = text.substr(1, close - 1);
    const std::string_view rest = text.substr(close + 1);
    if (host.find_first_not_of("0123456789abcdefABCDEF:.") != std::string_view::npos) return std::nullopt;
    if (rest.empty()) return NameServer{std::string(host), 53};
    if (!rest.starts_with(':')) return std::nullopt;
    const auto port = net::ParseServerAddress("h" + std::string(rest), 53);
    if (!port) return std::nullopt;
    return NameServer{std::string(host), port->port};
  }
  // Two colons or more: an IPv6 address without brackets, which takes no port.
  if (text.find(':') != text.rfind(':')) {
    if (text.find_first_not_of("0123456789abcdefABCDEF:.") != std::string_view::npos) return std::nullopt;
    return NameServer{std::string(text), 53};
  }
  const auto parsed = net::ParseServerAddress(text, 53);
  if (!parsed) return std::nullopt;
  return NameServer{parsed->host, parsed->port};
}

Exchange ExchangeMessage(const NameServer& server, const std::vector<std::uint8_t>& message,
                         const ExchangeLimits& limits) {
  Exchange exchange;
  socklen_t size = 0;
  const auto address = Resolved(server, size, exchange.problem);
  if (!address) return exchange;
  Buffer query(ldns_buffer_new(message.size()), &ldns_buffer_free);
  if (!query) {
    exchange.problem = msg::kDnsNoAnswer;
    return exchange;
  }
  ldns_buffer_write(query.get(), message.data(), message.size());

  // The datagram first; TCP when it brings no answer or a truncated one.
  for (const bool tcp : {false, true}) {
    if (limits.stop && limits.stop->stopRequested()) {
      exchange.cancelled = true;
      return exchange;
    }
    std::uint8_t* answer = nullptr;
    std::size_t answerSize = 0;
    const ldns_status status =
        tcp ? ldns_tcp_send(&answer, query.get(), &*address, size, TimevalOf(limits.tcpWait), &answerSize)
            : ldns_udp_send(&answer, query.get(), &*address, size, TimevalOf(limits.udpWait), &answerSize);
    if (status == LDNS_STATUS_OK && answer && answerSize >= LDNS_HEADER_SIZE) {
      const bool truncated = LDNS_TC_WIRE(answer) != 0;
      if (!truncated || tcp) {
        exchange.answer.assign(answer, answer + answerSize);
        exchange.problem.clear();
        std::free(answer);
        return exchange;
      }
    } else {
      exchange.problem = std::string(msg::kDnsNoAnswer) + "（" + ldns_get_errorstr_by_id(status) + "）";
    }
    std::free(answer);
  }
  if (exchange.problem.empty()) exchange.problem = msg::kDnsNoAnswer;
  return exchange;
}

}  // namespace zepa2::dns
