#include "core/source/router_fetch.h"

#include "core/net/protocol_text.h"
#include "core/net/server_address.h"

namespace zepa2 {

net::HttpGetResult GetRouterPage(const std::string& server, const std::string& path,
                                 const std::optional<net::HttpCredentials>& credentials,
                                 const net::HttpGetOptions& options) {
  const net::HttpCredentials login = credentials.value_or(net::HttpCredentials{});
  if (net::UnsafeRouterField(server, path, login.user, login.password)) return {};
  const auto address = net::ParseWebServer(server);
  if (!address) return {};
  net::HttpGetOptions withScheme = options;
  withScheme.https = address->https;
  return net::HttpGet(address->address, path, credentials, withScheme);
}

FetchResult FetchRouterPage(const std::string& server, const std::string& path,
                            const std::string& user, const std::string& password,
                            std::string& output, CheckHost& host,
                            const net::HttpGetOptions& options, net::KeyTrouble* keyTrouble) {
  BusyScope busy(host);
  net::HttpGetResult got = GetRouterPage(server, path, net::HttpCredentials{user, password}, options);
  if (keyTrouble) *keyTrouble = got.key;
  if (got.status == 0) return FetchResult::FetchFailed;
  host.Pause(kRouterAnswerPause);
  output = std::move(got.body);
  switch (got.kind) {
    case net::HttpGetKind::Ok: return FetchResult::FetchOk;
    case net::HttpGetKind::BadStatus: return FetchResult::FetchBadStatus;
    case net::HttpGetKind::Failed: break;
  }
  return FetchResult::FetchFailed;
}

}  // namespace zepa2
