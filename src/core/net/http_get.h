// One blocking HTTP GET with time-outs, optional Basic/Digest credentials and a body size limit.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/net/server_address.h"
#include "core/net/outcome.h"
#include "core/net/transfer_mode.h"
#include "core/sys/stop_token.h"

namespace zepa2::net {

enum class HttpGetKind {
  Ok,         // status 200; body holds the whole answer
  BadStatus,  // the server answered with another status; body is empty
  Failed,     // no usable answer: bad server text, refused, time-out, broken or oversized transfer
};

struct HttpCredentials {
  std::string user;
  std::string password;
};

// A POST in place of the GET: a SOAP call to a router's control URL.
struct HttpPost {
  std::string body;
  std::vector<std::string> headers;  // extra header lines, "Name: value"
};

// Which address family a request may connect over.
enum class IpFamily { Any, V4Only, V6Only };

struct HttpGetOptions {
  std::chrono::milliseconds connectTimeout{10'000};
  std::chrono::milliseconds totalTimeout{30'000};  // the whole request, so a mute server ends too
  std::size_t maxBodyBytes = 16u << 20;            // a larger body fails instead of eating memory
  const StopToken* stop = nullptr;                 // a stop request aborts the request within a second
  std::optional<HttpPost> post;                    // set: POST this instead of the GET
  bool keepAnyBody = false;                        // keep the body of any status (a SOAP fault's 500)
  bool https = false;                              // HTTPS instead of HTTP
  // HTTPS: "sha256//…" of the server's key; the pin alone then decides whether it is trusted.
  // Empty: the certificate is verified against the system's store and the host name.
  std::string pin;
  std::vector<std::string> headers;  // extra request header lines, "Name: value"
  std::string method;                // with post: the method in place of POST ("PATCH")
  IpFamily family = IpFamily::Any;   // a service that reads the address off the connection needs one
  // Credentials go unasked as Basic (update servers answer a missing log-in with a result code,
  // not a challenge), instead of answering a Basic or Digest challenge.
  bool basicUnasked = false;
};

struct HttpGetResult {
  HttpGetKind kind = HttpGetKind::Failed;
  long status = 0;   // 0 while no status line arrived (a redirect that led nowhere counts as none)
  std::string body;  // with Failed after status 200: the bytes read before the failure; with
                     // BadStatus only when keepAnyBody was asked for
  // How the request went, in the words every transfer uses: Done when a whole answer came (of any
  // status); else the kind of failure with libcurl's words, and a key refused before anything went.
  Outcome outcome{};

  // A whole answer with a status line: the server said something, whatever it was.
  bool answered() const { return outcome.done() && status != 0; }
};

// GET "http://" (or "https://") + host:port + "/" + path. Path bytes that a URL cannot carry as they are
// (spaces, control and 8-bit bytes) are sent percent-encoded. Up to five redirects are followed, never from
// HTTPS to plain HTTP. Credentials, when given and not both empty, answer the server's Basic or Digest
// challenge; nothing is sent unasked.
HttpGetResult HttpGet(const ServerAddress& server, const std::string& path,
                      const std::optional<HttpCredentials>& credentials, const HttpGetOptions& options = {});

// GET of a whole http:// or https:// URL (already percent-encoded), as HttpGet otherwise but
// without credentials, redirects kept to those two schemes, and every cache asked for a fresh answer.
HttpGetResult HttpGetUrl(const std::string& url, const HttpGetOptions& options = {});

// A request to an update server's whole http:// or https:// URL (already percent-encoded) with
// the options' headers, method, family and credentials (none when not given or both empty). An
// HTTPS request is only redirected to HTTPS.
HttpGetResult HttpRequestUrl(const std::string& url, const std::optional<HttpCredentials>& credentials,
                             const HttpGetOptions& options);

}  // namespace zepa2::net
