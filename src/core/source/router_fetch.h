// Fetching the router's status page: one request for the check and the router dialog's test alike.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "core/run/check_host.h"
#include "core/net/http_get.h"
#include "core/settings/app_settings.h"

namespace zepa2 {

// The router is given a second to settle after it answered, as it always has been.
inline constexpr std::chrono::milliseconds kRouterAnswerPause{1000};

// GET server + "/" + path, server being "host[:port]" or "http://host[:port]" (port 80 by default)
// or "https://host[:port]" (port 443 by default; options.pin, when set, decides its trust).
// A server text that names no plain host, or any of the four texts holding CR, LF or NUL, is a
// failure without any network traffic.
net::HttpGetResult GetRouterPage(const std::string& server, const std::string& path,
                                 const std::optional<net::HttpCredentials>& credentials,
                                 const net::HttpGetOptions& options = {});

struct RouterRequest {
  std::string server;  // CP932, as in the settings
  std::string path;
  std::optional<net::HttpCredentials> credentials;  // none: nothing is offered to a challenge
  std::string pin{};  // "sha256//…" of an HTTPS router's key; empty = the system's certificates
};

// Which of the router's settings apply under the others: the dialog enables their controls by
// these, and the request below uses the same ones.
inline bool RouterPageAsked(const AppSettings& s) { return s.addressSource == AddressSource::RouterPage; }
inline bool RouterLoginSent(const AppSettings& s) { return RouterPageAsked(s) && s.routerAuth; }
inline bool RouterMarkersUsed(const AppSettings& s) { return RouterPageAsked(s) && !s.wholePage; }

// The request the settings make for the router's page, for the check and the dialog's test alike.
// password is HTTP.Pass with any reference already looked up; it is offered only with a log-in.
RouterRequest RouterRequestOf(const AppSettings& settings, std::string password);

enum class RouterPageKind {
  Page,       // status 200 and the whole body
  BadStatus,  // another status (a refused log-in, a missing page, a redirect loop's end): no body
  BrokenOff,  // status 200, then the transfer broke off (a time-out, an oversized body): part of it
  NoAnswer,   // no status line at all: refused, unreachable, a bad server text, a refused key
};

struct RouterPageAnswer {
  RouterPageKind kind = RouterPageKind::NoAnswer;
  std::string body;                             // CP932 as the router sent it; see the kinds
  std::string reason;                           // libcurl's words for a failure, else empty
  net::KeyTrouble key = net::KeyTrouble::None;  // HTTPS refused for the router's key
};

// The one request: shows the wait cursor through host and, after any answer, pauses
// kRouterAnswerPause through it. The request's pin stands over any in options.
RouterPageAnswer FetchRouterPage(const RouterRequest& request, CheckHost& host,
                                 const net::HttpGetOptions& options = {});

}  // namespace zepa2
