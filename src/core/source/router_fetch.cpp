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

RouterRequest RouterRequestOf(const AppSettings& settings, std::string password) {
  RouterRequest request{settings.routerServer, settings.routerPage, std::nullopt, settings.routerPin};
  if (RouterLoginSent(settings)) request.credentials = {settings.routerUser, std::move(password)};
  return request;
}

RouterPageAnswer FetchRouterPage(const RouterRequest& request, CheckHost& host,
                                 const net::HttpGetOptions& options) {
  BusyScope busy(host);
  net::HttpGetOptions pinned = options;
  pinned.pin = request.pin;
  net::HttpGetResult got = GetRouterPage(request.server, request.path, request.credentials, pinned);
  RouterPageAnswer answer{RouterPageKind::NoAnswer, {}, std::move(got.outcome.reason), got.outcome.key};
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
