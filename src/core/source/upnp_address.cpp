#include "core/source/upnp_address.h"

#include <arpa/inet.h>
#include <miniupnpc/igd_desc_parse.h>
#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpreplyparse.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>

#include "core/net/http_get.h"
#include "core/net/server_address.h"
#include "core/source/natpmp_address.h"

namespace zepa2 {
namespace {

constexpr const char* kSsdpGroup = "239.255.255.250";
constexpr int kSsdpPort = 1900;
constexpr std::string_view kGatewayTarget = "urn:schemas-upnp-org:device:InternetGatewayDevice:1";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
         });
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

// The value of a header line "name: value" of datagram; nothing when it has none.
std::optional<std::string_view> HeaderValue(std::string_view datagram, std::string_view name) {
  for (std::size_t from = datagram.find('\n'); from != std::string_view::npos;) {
    const std::size_t end = datagram.find('\n', from + 1);
    const std::string_view line =
        datagram.substr(from + 1, end == std::string_view::npos ? end : end - from - 1);
    from = end;
    if (StartsWithNoCase(line, name) && line.size() > name.size() && line[name.size()] == ':') {
      return Trimmed(line.substr(name.size() + 1));
    }
  }
  return std::nullopt;
}

// Closes the socket on every way out.
struct Socket {
  int fd = -1;
  ~Socket() {
    if (fd >= 0) ::close(fd);
  }
};

using net::HttpUrl;

net::HttpGetOptions ExchangeOptions(const UpnpOptions& options) {
  net::HttpGetOptions http;
  http.connectTimeout = std::min(options.discoveryTimeout, options.answerTimeout);
  http.totalTimeout = options.answerTimeout;
  http.maxBodyBytes = 256u << 10;  // a description or a SOAP answer is a few kilobytes
  http.stop = options.stop;
  return http;
}

// Protocol text from the router's own description goes into a SOAP body and a header line: a byte
// that could end the line, or a quote that could end the attribute, makes it no text of ours.
bool IsPlainUpnpText(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) {
    return c > 0x20 && c < 0x7F && c != '"' && c != '<' && c != '>' && c != '&' && c != '\'';
  });
}

std::string FailedExchange(const char* what, const net::HttpGetResult& got) {
  std::string reason = std::string("UPnP: ") + what;
  if (got.status != 0) reason += " answered HTTP " + std::to_string(got.status);
  if (!got.outcome.reason.empty()) reason += " (" + got.outcome.reason + ")";
  return reason;
}

// A URL of the description made absolute the way the library makes the control URL: against the
// host of the base URL (the description's own unless it names another).
std::string AbsoluteUrl(const IGDdatas& data, const std::string& descriptionUrl, std::string_view url) {
  if (url.empty() || StartsWithNoCase(url, "http://")) return std::string(url);
  const std::string base = data.urlbase[0] != '\0' ? data.urlbase : descriptionUrl;
  const std::size_t hostEnd = base.find('/', StartsWithNoCase(base, "http://") ? 7 : 0);
  while (!url.empty() && url.front() == '/') url.remove_prefix(1);
  return base.substr(0, hostEnd) + "/" + std::string(url);
}

// The router's connection service as its description (given, or found by discovery) names it.
struct DescribedService {
  std::optional<HttpUrl> descriptionUrl;  // nothing when the service could not be had: see reason
  UpnpConnectionService service;
  std::string reason;
  std::string note{};  // the answer to discovery came from another host than the default gateway
};

DescribedService DescribeService(const std::string& igdUrl, const UpnpOptions& options) {
  std::string url = igdUrl;
  DescribedService described;
  if (url.empty()) {
    IgdDiscovery found = DiscoverIgd(options);
    if (found.location.empty()) return {{}, {}, found.reason};
    url = std::move(found.location);
    if (!found.otherHost.empty()) {
      described.note = "UPnP: the answer came from " + found.otherHost + ", not from the default gateway";
    }
  }
  const auto descriptionUrl = net::ParseHttpUrl(url);
  if (!descriptionUrl) return {{}, {}, "UPnP: the description URL is not an http:// URL"};
  const net::HttpGetResult description =
      net::HttpGet(descriptionUrl->server, descriptionUrl->path, std::nullopt, ExchangeOptions(options));
  if (description.kind != net::HttpGetKind::Ok)
    return {{}, {}, FailedExchange("the description", description)};
  const auto service = ReadIgdDescription(description.body, url);
  if (!service) return {{}, {}, "UPnP: the router describes no WAN IP or PPP connection service"};
  described.descriptionUrl = descriptionUrl;
  described.service = *service;
  return described;
}

// Whether a URL the description names is on the description's own host and port: otherwise a
// device that answered discovery could send our requests to any web service on the network.
bool OnDescriptionServer(const HttpUrl& named, const HttpUrl& description) {
  return named.server.host == description.server.host && named.server.port == description.server.port;
}

}  // namespace

std::string SsdpSearchRequest(std::chrono::seconds maxWait) {
  return "M-SEARCH * HTTP/1.1\r\n"
         "HOST: " +
         std::string(kSsdpGroup) + ":" + std::to_string(kSsdpPort) +
         "\r\n"
         "MAN: \"ssdp:discover\"\r\n"
         "MX: " +
         std::to_string(std::max<long>(1, maxWait.count())) +
         "\r\n"
         "ST: " +
         std::string(kGatewayTarget) + "\r\n\r\n";
}

std::optional<std::string> SsdpAnswerLocation(std::string_view datagram) {
  if (!StartsWithNoCase(datagram, "HTTP/1.1 200") && !StartsWithNoCase(datagram, "HTTP/1.0 200")) {
    return std::nullopt;
  }
  const auto target = HeaderValue(datagram, "ST");
  if (!target || (target->find(":InternetGatewayDevice:") == std::string_view::npos &&
                  target->find(":WANIPConnection:") == std::string_view::npos &&
                  target->find(":WANPPPConnection:") == std::string_view::npos)) {
    return std::nullopt;
  }
  const auto location = HeaderValue(datagram, "LOCATION");
  if (!location || location->empty()) return std::nullopt;
  return std::string(*location);
}

IgdDiscovery DiscoverIgd(const UpnpOptions& options) {
  const std::string gateway = NatPmpGatewayToAsk("");
  IgdDiscovery other;
  Socket socket{::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)};
  if (socket.fd < 0) return {{}, "UPnP: no socket for discovery"};
  const int ttl = 2;
  setsockopt(socket.fd, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl);
  sockaddr_in group{};
  group.sin_family = AF_INET;
  group.sin_port = htons(kSsdpPort);
  inet_pton(AF_INET, kSsdpGroup, &group.sin_addr);
  const std::string request =
      SsdpSearchRequest(std::chrono::duration_cast<std::chrono::seconds>(options.discoveryTimeout));
  if (sendto(socket.fd, request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&group),
             sizeof group) < 0) {
    return {{}, "UPnP: the discovery request could not be sent"};
  }
  const auto deadline = std::chrono::steady_clock::now() + options.discoveryTimeout;
  std::array<char, 2048> datagram{};
  for (;;) {
    if (options.stop && options.stop->stopRequested()) return {{}, "UPnP: stopped"};
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      if (!other.location.empty()) return other;
      return {{}, "UPnP: no router answered the discovery", {}};
    }
    pollfd ready{socket.fd, POLLIN, 0};
    if (poll(&ready, 1, static_cast<int>(std::min(left, kStopCheck).count())) <= 0) continue;
    const ssize_t n = recv(socket.fd, datagram.data(), datagram.size(), 0);
    if (n <= 0) continue;
    auto location = SsdpAnswerLocation({datagram.data(), static_cast<std::size_t>(n)});
    if (!location || !IsPlainUpnpText(*location)) continue;
    const auto url = net::ParseHttpUrl(*location);
    if (!url) continue;
    if (gateway.empty() || url->server.host == gateway) return {std::move(*location), {}, {}};
    if (other.location.empty()) other = {std::move(*location), {}, url->server.host};
  }
}

GatewayAnswer AskUpnpExternalAddress(const std::string& igdUrl, const UpnpOptions& options) {
  const DescribedService described = DescribeService(igdUrl, options);
  if (!described.descriptionUrl) return {{}, described.reason};
  const UpnpConnectionService& service = described.service;
  if (!IsPlainUpnpText(service.serviceType)) {
    return {{}, "UPnP: the service type holds control bytes or markup"};
  }
  if (!IsPlainUpnpText(service.controlUrl))
    return {{}, "UPnP: the control URL holds control bytes or markup"};
  const auto control = net::ParseHttpUrl(service.controlUrl);
  if (!control) return {{}, "UPnP: the control URL is not an http:// URL"};
  if (!OnDescriptionServer(*control, *described.descriptionUrl)) {
    return {{}, "UPnP: the control URL is on another host or port than the description"};
  }

  net::HttpGetOptions call = ExchangeOptions(options);
  call.keepAnyBody = true;  // a refusal is a SOAP fault in a 500 answer
  call.post = net::HttpPost{
      "<?xml version=\"1.0\"?>\r\n"
      "<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
      "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><s:Body>"
      "<u:GetExternalIPAddress xmlns:u=\"" +
          service.serviceType +
          "\"></u:GetExternalIPAddress>"
          "</s:Body></s:Envelope>\r\n",
      {"Content-Type: text/xml; charset=\"utf-8\"",
       "SOAPAction: \"" + service.serviceType + "#GetExternalIPAddress\""}};
  const net::HttpGetResult answer = net::HttpGet(control->server, control->path, std::nullopt, call);
  if (answer.kind == net::HttpGetKind::Failed) return {{}, FailedExchange("GetExternalIPAddress", answer)};
  GatewayAnswer got = ReadUpnpSoapAnswer(answer.body, answer.status);
  got.note = described.note;
  return got;
}

UpnpEventUrl FindUpnpEventUrl(const std::string& igdUrl, const UpnpOptions& options) {
  const DescribedService described = DescribeService(igdUrl, options);
  if (!described.descriptionUrl) return {{}, described.reason};
  const std::string& url = described.service.eventUrl;
  if (url.empty()) return {{}, "UPnP: the router names no event URL for its connection service"};
  if (!IsPlainUpnpText(url)) return {{}, "UPnP: the event URL holds control bytes or markup"};
  const auto events = net::ParseHttpUrl(url);
  if (!events) return {{}, "UPnP: the event URL is not an http:// URL"};
  if (!OnDescriptionServer(*events, *described.descriptionUrl)) {
    return {{}, "UPnP: the event URL is on another host or port than the description"};
  }
  return {url, {}};
}

std::optional<UpnpConnectionService> ReadIgdDescription(const std::string& description,
                                                        const std::string& url) {
  IGDdatas data{};
  parserootdesc(description.data(), static_cast<int>(description.size()), &data);
  // The library resolves the control URL against the base URL; it does so for "first" only.
  for (const IGDdatas_service* service : {&data.first, &data.second}) {
    if (service->servicetype[0] == '\0' || service->controlurl[0] == '\0') continue;
    IGDdatas resolved = data;
    resolved.first = *service;
    UPNPUrls urls{};
    GetUPNPUrls(&urls, &resolved, url.c_str(), 0);
    UpnpConnectionService found{urls.controlURL ? urls.controlURL : "", service->servicetype,
                                AbsoluteUrl(data, url, service->eventsuburl)};
    FreeUPNPUrls(&urls);
    if (!found.controlUrl.empty()) return found;
  }
  return std::nullopt;
}

GatewayAnswer ReadUpnpSoapAnswer(const std::string& body, long status) {
  NameValueParserData values{};
  ParseNameValue(body.data(), static_cast<int>(body.size()), &values);
  GatewayAnswer answer;
  if (const char* address = GetValueFromNameValueList(&values, "NewExternalIPAddress");
      address && status == 200) {
    answer.address = address;
    if (answer.address.empty()) answer.reason = "UPnP: the router has no external address";
  } else if (const char* code = GetValueFromNameValueList(&values, "errorCode")) {
    const char* text = GetValueFromNameValueList(&values, "errorDescription");
    answer.reason = std::string("UPnP: the router refused GetExternalIPAddress (") + code +
                    (text ? std::string(" ") + text : std::string()) + ")";
  } else {
    answer.reason =
        "UPnP: GetExternalIPAddress answered HTTP " + std::to_string(status) + " without an address";
  }
  ClearNameValueList(&values);
  return answer;
}

}  // namespace zepa2
