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

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] + 32) : text[i];
    if (c != prefix[i]) return false;
  }
  return true;
}

}  // namespace

std::optional<WebServer> ParseWebServer(std::string_view text) {
  constexpr std::string_view kHttp = "http://";
  constexpr std::string_view kHttps = "https://";
  WebServer server;
  if (StartsWithNoCase(text, kHttps)) {
    server.https = true;
    text.remove_prefix(kHttps.size());
  } else if (StartsWithNoCase(text, kHttp)) {
    text.remove_prefix(kHttp.size());
  } else {
    auto plain = ParseServerAddress(text, 80);
    if (!plain) return std::nullopt;
    return WebServer{std::move(*plain), false};
  }
  if (text.ends_with('/')) text.remove_suffix(1);
  auto address = ParseServerAddress(text, server.https ? 443 : 80);
  if (!address) return std::nullopt;
  server.address = std::move(*address);
  return server;
}

std::optional<HttpUrl> ParseHttpUrl(std::string_view url) {
  constexpr std::string_view kHttp = "http://";
  if (!StartsWithNoCase(url, kHttp)) return std::nullopt;
  url.remove_prefix(kHttp.size());
  const std::size_t slash = url.find('/');
  auto server = ParseServerAddress(url.substr(0, slash), 80);
  if (!server) return std::nullopt;
  return HttpUrl{std::move(*server),
                 slash == std::string_view::npos ? "" : std::string(url.substr(slash + 1))};
}

std::optional<MailServer> ParseMailServer(std::string_view text) {
  constexpr std::string_view kSmtp = "smtp://";
  constexpr std::string_view kSmtps = "smtps://";
  MailServer server;
  if (StartsWithNoCase(text, kSmtps)) {
    server.implicitTls = true;
    text.remove_prefix(kSmtps.size());
  } else if (StartsWithNoCase(text, kSmtp)) {
    text.remove_prefix(kSmtp.size());
  } else {
    return std::nullopt;
  }
  if (text.ends_with('/')) text.remove_suffix(1);
  auto address = ParseServerAddress(text, server.implicitTls ? 465 : 587);
  if (!address) return std::nullopt;
  server.address = std::move(*address);
  return server;
}

bool IsWebUrl(std::string_view url) {
  for (const std::string_view scheme : {std::string_view("http://"), std::string_view("https://")}) {
    if (!url.starts_with(scheme)) continue;  // as libcurl's protocol list spells them
    const std::string_view rest = url.substr(scheme.size());
    const std::size_t end = rest.find_first_of("/?#");
    if (!ParseServerAddress(rest.substr(0, end), 80)) return false;
    for (unsigned char c : rest)
      if (c <= 0x20 || c >= 0x7F) return false;
    return true;
  }
  return false;
}

}  // namespace zepa2::net
