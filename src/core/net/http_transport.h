// What the HTTP transports (WebDAV, S3) share: one HTTP/1.1 request at a time, its answer kept, the page's
// PUT.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/net/transport.h"

namespace zepa2::net {

// HTTP has no session: nothing is sent to log in, and the first request proves the account by
// its answer. A transfer libcurl finished can still have been refused, so the outcome reads the
// answer's status: 2xx done; 401, 403 a refused log-in; anything else a refused transfer with the
// server's status line (and the service's own words, where it gives some) as the reason.
class HttpTransport : public Transport {
 public:
  Outcome LogIn() override;
  // Names are paths from the server's root: "a/b.html" is "/a/b.html".
  std::string UrlFor(const std::string& wireName) const override;
  bool serverNamesFolders() const override { return false; }
  std::optional<std::string> HomeFolder() const override { return std::nullopt; }
  Outcome OutcomeOf(CURLcode code) const override;

 protected:
  struct Answer {
    long status = 0;         // 0 until a status line came
    std::string statusLine;  // the last one ("HTTP/1.1 409 Conflict"), without its line end
    std::string body;        // up to kMaxListingBytes
  };

  // hostRoot: "https://host:port" or "http://host:port". Sets up HTTP/1.1 (libcurl 7.88 breaks an
  // upload over HTTP/2 while it probes for Basic or Digest, and servers offer HTTP/2 over TLS) and
  // the TLS check: the pin when there is one, else the system store and the host name.
  HttpTransport(CurlEasy handle, const std::string& hostRoot, TransferLimits limits, const SiteLogin& login);

  // A header line every request of this transport carries.
  void AddStandingHeader(std::string line) { standingHeaders_.push_back(std::move(line)); }
  // One request: method (nullptr: GET, or PUT when an upload is set up on the handle), its own
  // header lines and body. The answer is kept for OutcomeOf.
  CURLcode Send(const std::string& url, const char* method, const std::vector<std::string>& headers,
                const std::string* body = nullptr);
  const Answer& answer() const { return answer_; }
  // Why the server refused, as the reason of a failed outcome: here its status line.
  virtual std::string RefusalReason() const;

  // The page goes with a Content-Length (object stores refuse chunked uploads) and, for an
  // .htm/.html name, as CP932 HTML, which is what the program's pages are.
  CURLcode PerformStore(const std::string& wireName, curl_off_t size) override;
  // Fails a step before anything is sent, with why in libcurl's error buffer.
  CURLcode Refuse(CURLcode code, const char* why) const;

 private:
  static size_t OnBody(char* data, size_t size, size_t count, void* answer);
  static size_t OnHeader(char* data, size_t size, size_t count, void* answer);

  std::string hostRoot_;
  std::vector<std::string> standingHeaders_;
  Answer answer_;
};

}  // namespace zepa2::net
