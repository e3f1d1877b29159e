#include "core/net/http_get.h"

#include "core/net/curl_handle.h"
#include "core/net/perform_transfer.h"
#include "core/net/server_key.h"
#include "core/net/transfer_limits.h"
#include "core/text/hex_escape.h"

namespace zepa2::net {
namespace {

std::string EncodePath(const std::string& path) {
  return HexEscaped(path, "%", HexCase::Upper, [](unsigned char c) { return c <= 0x20 || c >= 0x7F; });
}

struct Transfer {
  CURL* handle = nullptr;
  std::size_t maxBodyBytes = 0;
  bool keepAnyBody = false;
  std::string body;
  bool tooLarge = false;
};

// Keeps only the body of a 200 answer; the bodies of authentication challenges are dropped.
std::size_t OnBodyBytes(char* data, std::size_t size, std::size_t count, void* user) {
  auto& transfer = *static_cast<Transfer*>(user);
  const std::size_t bytes = size * count;
  long status = 0;
  curl_easy_getinfo(transfer.handle, CURLINFO_RESPONSE_CODE, &status);
  if (status != 200 && !transfer.keepAnyBody) return bytes;
  if (transfer.body.size() + bytes > transfer.maxBodyBytes) {
    transfer.tooLarge = true;
    return 0;  // aborts the transfer
  }
  transfer.body.append(data, bytes);
  return bytes;
}

// The request both kinds of GET share: url is complete, protocols the schemes it and its
// redirects may use.
// Sorted as a transfer's steps are: nothing answered is a failed connection, an answer that broke
// off is a refused transfer.
OutcomeKind HttpOutcomeKind(CURLcode code, long status, const StopToken* stop) {
  if (code == CURLE_OK) return OutcomeKind::Done;
  if (stop && stop->stopRequested()) return OutcomeKind::Cancelled;
  if (code == CURLE_OPERATION_TIMEDOUT) return OutcomeKind::TimedOut;
  return status == 0 ? OutcomeKind::ConnectFailed : OutcomeKind::TransferRefused;
}

HttpGetResult Fetch(const std::string& url, const char* protocols, bool https,
                    const std::optional<HttpCredentials>& credentials,
                    const std::vector<std::string>& extraHeaders, const HttpGetOptions& options) {
  HttpGetResult result;
  CurlEasy curl = MakeEasyHandle();
  if (!curl) return result;
  CURL* h = curl.get();

  CurlSlist headers;
  AppendTo(headers, "Accept: */*");
  for (const std::string& line : extraHeaders) AppendTo(headers, line.c_str());
  for (const std::string& line : options.headers) AppendTo(headers, line.c_str());
  Transfer transfer{h, options.maxBodyBytes, options.keepAnyBody, {}, false};

  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  if (options.post) {
    for (const std::string& line : options.post->headers) AppendTo(headers, line.c_str());
    curl_easy_setopt(h, CURLOPT_POSTFIELDS, options.post->body.c_str());
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE, static_cast<long>(options.post->body.size()));
    if (!options.method.empty()) curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, options.method.c_str());
  } else {
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
  }
  curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.connectTimeout.count()));
  curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(options.totalTimeout.count()));
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, protocols);
  curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, protocols);
  if (https && !options.pin.empty()) {
    // The pin alone decides: routers serve self-signed certificates for their own address.
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(h, CURLOPT_PINNEDPUBLICKEY, options.pin.c_str());
  }
  switch (options.family) {
    case IpFamily::Any:
      break;
    case IpFamily::V4Only:
      curl_easy_setopt(h, CURLOPT_IPRESOLVE, static_cast<long>(CURL_IPRESOLVE_V4));
      break;
    case IpFamily::V6Only:
      curl_easy_setopt(h, CURLOPT_IPRESOLVE, static_cast<long>(CURL_IPRESOLVE_V6));
      break;
  }
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(h, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &OnBodyBytes);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer);
  const TransferLimits limits{options.stop, SteadyClock::now() + options.totalTimeout};
  ApplyTransferLimits(h, &limits);
  CurlErrorBuffer errors;
  curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errors.text.data());
  if (credentials && !(credentials->user.empty() && credentials->password.empty())) {
    curl_easy_setopt(h, CURLOPT_HTTPAUTH,
                     static_cast<long>(options.basicUnasked ? CURLAUTH_BASIC : CURLAUTH_ANY));
    curl_easy_setopt(h, CURLOPT_USERNAME, credentials->user.c_str());
    curl_easy_setopt(h, CURLOPT_PASSWORD, credentials->password.c_str());
  }

  const CURLcode code = PerformTransfer(h, limits);
  Outcome& outcome = result.outcome;
  if (code != CURLE_OK) outcome.reason = CurlReason(code, errors.text.data());
  // The body callback broke off an oversized answer; libcurl only knows that writing failed.
  if (transfer.tooLarge) outcome.reason = curl_easy_strerror(CURLE_FILESIZE_EXCEEDED);
  if (https) outcome.key = KeyTroubleOf(code, !options.pin.empty());
  if (outcome.key == KeyTrouble::Changed) outcome.reason = "the server's key changed: " + outcome.reason;
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &result.status);
  // A redirect is followed, never the answer itself: when following it failed, nothing answered.
  if (code != CURLE_OK && result.status >= 300 && result.status < 400) result.status = 0;
  outcome.kind = HttpOutcomeKind(code, result.status, options.stop);
  if (result.status == 200) {
    result.kind = code == CURLE_OK ? HttpGetKind::Ok : HttpGetKind::Failed;
    result.body = std::move(transfer.body);
  } else if (result.status != 0) {
    result.kind = HttpGetKind::BadStatus;
    if (options.keepAnyBody && code == CURLE_OK) result.body = std::move(transfer.body);
  } else {
    result.kind = HttpGetKind::Failed;
  }
  return result;
}

}  // namespace

HttpGetResult HttpGet(const ServerAddress& server, const std::string& path,
                      const std::optional<HttpCredentials>& credentials, const HttpGetOptions& options) {
  const std::string url = (options.https ? "https://" : "http://") + server.host + ":" +
                          std::to_string(server.port) + "/" + EncodePath(path);
  // Routers like to forward their status page; follow that the way a browser does, in the
  // request's own scheme: the password of an HTTPS page never goes out in clear.
  return Fetch(url, options.https ? "https" : "http", options.https, credentials, {}, options);
}

HttpGetResult HttpGetUrl(const std::string& url, const HttpGetOptions& options) {
  const bool https = url.starts_with("https://");
  if (!https && !url.starts_with("http://")) return {};
  return Fetch(url, "http,https", https, std::nullopt, {"Cache-Control: no-cache", "Pragma: no-cache"},
               options);
}

HttpGetResult HttpRequestUrl(const std::string& url, const std::optional<HttpCredentials>& credentials,
                             const HttpGetOptions& options) {
  const bool https = url.starts_with("https://");
  if (!https && !url.starts_with("http://")) return {};
  return Fetch(url, https ? "https" : "http,https", https, credentials, {}, options);
}

}  // namespace zepa2::net
