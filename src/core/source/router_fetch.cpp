#include "core/source/router_fetch.h"

#include "core/settings/unsafe_fields.h"
#include "core/net/server_address.h"

namespace zepa2 {

net::HttpGetResult GetRouterPage(const std::string& server, const std::string& path,
                                 const std::optional<net::HttpCredentials>& credentials,
                                 const net::HttpGetOptions& options) {
  const net::HttpCredentials login = credentials.value_or(net::HttpCredentials{});
  if (UnsafeRouterField(server, path, login.user, login.password)) return {};
  const auto address = net::ParseWebServer(server);
  if (!address) return {};
  net::HttpGetOptions withScheme = options;
  withScheme.https = address->https;
  return net::HttpGet(address->address, path, credentials, withScheme);
}

RouterPageAnswer FetchRouterPage(const RouterRequest& request, CheckHost& host,
                                 const net::HttpGetOptions& options) {
  BusyScope busy(host);
  net::HttpGetResult got = GetRouterPage(request.server, request.path, request.credentials, options);
  RouterPageAnswer answer{RouterPageKind::NoAnswer, {}, std::move(got.reason), got.key};
  if (got.status == 0) return answer;
  host.Pause(kRouterAnswerPause);
  answer.body = std::move(got.body);
  switch (got.kind) {
    case net::HttpGetKind::Ok:
      answer.kind = RouterPageKind::Page;
      break;
    case net::HttpGetKind::BadStatus:
      answer.kind = RouterPageKind::BadStatus;
      break;
    case net::HttpGetKind::Failed:
      answer.kind = RouterPageKind::BrokenOff;
      break;
  }
  return answer;
}

}  // namespace zepa2
