#include "core/net/server_address.h"

#include <charconv>

namespace zepa2::net {

std::optional<ServerAddress> ParseServerAddress(std::string_view text, int defaultPort) {
  for (unsigned char c : text) {
    if (c <= 0x20 || c == 0x7F || c == '/' || c == '\\' || c == '@' || c == '?' || c == '#') {
      return std::nullopt;
    }
  }
  ServerAddress out;
  out.port = defaultPort;
  std::string_view host = text;
  const auto colon = text.rfind(':');
  if (colon != std::string_view::npos) {
    if (text.find(':') != colon) return std::nullopt;  // "ftp://…" and other schemes end here too
    host = text.substr(0, colon);
    std::string_view digits = text.substr(colon + 1);
    int port = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() || port < 1 ||
        port > 65535) {
      return std::nullopt;
    }
    out.port = port;
  }
  if (host.empty()) return std::nullopt;
  out.host = std::string(host);
  return out;
}

}  // namespace zepa2::net
