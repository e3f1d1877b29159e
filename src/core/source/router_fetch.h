// Fetching the router's status page: the request itself and the connect test built on it.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "core/check/check_host.h"
#include "core/net/http_get.h"

namespace zepa2 {

// The router is given a second to settle after it answered, as it always has been.
inline constexpr std::chrono::milliseconds kRouterAnswerPause{1000};

enum class FetchResult { FetchOk = 1, FetchBadStatus = -1, FetchFailed = -2 };

// GET server + "/" + path, server being "host[:port]" or "http://host[:port]" (port 80 by default)
// or "https://host[:port]" (port 443 by default; options.pin, when set, decides its trust).
// A server text that names no plain host, or any of the four texts holding CR, LF or NUL, is a
// failure without any network traffic.
net::HttpGetResult GetRouterPage(const std::string& server, const std::string& path,
                                 const std::optional<net::HttpCredentials>& credentials,
                                 const net::HttpGetOptions& options = {});

// The router settings dialog's connect test: always offers user and password (none when both
// are empty), shows the wait cursor and pauses through host. output is replaced by the body on
// FetchOk and emptied on FetchBadStatus; on FetchFailed it keeps its earlier content when no
// status arrived, else it holds what arrived of a 200 body before the failure. keyTrouble, when
// given, says whether an HTTPS router was refused for its key.
FetchResult FetchRouterPage(const std::string& server, const std::string& path,
                            const std::string& user, const std::string& password,
                            std::string& output, CheckHost& host,
                            const net::HttpGetOptions& options = {},
                            net::KeyTrouble* keyTrouble = nullptr);

}  // namespace zepa2
