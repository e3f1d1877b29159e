// The server text of the settings ("host" or "host:port") turned into a host and a port.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zepa2::net {

struct ServerAddress {
  std::string host;
  int port = 0;
};

// "host" gives the default port; "host:port" a port 1..65535. Text with a scheme, a slash, a
// space or any control character, an empty host or a bad port gives nothing: the caller reports
// a connection failure instead of reaching some other host.
std::optional<ServerAddress> ParseServerAddress(std::string_view text, int defaultPort);

// A web server's text: "host[:port]" or "http://host[:port]" is plain HTTP (port 80),
// "https://host[:port]" HTTPS (port 443). The scheme may be in any case; one '/' may end the text.
struct WebServer {
  ServerAddress address;
  bool https = false;
};
std::optional<WebServer> ParseWebServer(std::string_view text);

// A plain HTTP URL as the router's UPnP description names its services: "http://host[:port]/path".
struct HttpUrl {
  ServerAddress server;
  std::string path;  // without the leading "/"
};
std::optional<HttpUrl> ParseHttpUrl(std::string_view url);

// A mail server's text: "smtp://host[:port]" (port 587, where STARTTLS upgrades the connection)
// or "smtps://host[:port]" (port 465, TLS from the start); the scheme in any case, one '/' may end it.
struct MailServer {
  ServerAddress address;
  bool implicitTls = false;  // smtps://
};
std::optional<MailServer> ParseMailServer(std::string_view text);

// Whether url is a whole "http://" or "https://" URL this program sends as it is: a host (and
// port) after the scheme, and nothing but printable ASCII after it.
bool IsWebUrl(std::string_view url);

}  // namespace zepa2::net
