#include "core/publish/page_proof.h"

#include <atomic>
#include <curl/curl.h>
#include <memory>

#include "core/net/http_get.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"

namespace zepa2 {
namespace {

struct CurlUrlDeleter {
  void operator()(CURLU* u) const { curl_url_cleanup(u); }
};
using CurlUrl = std::unique_ptr<CURLU, CurlUrlDeleter>;

// The URL parsed with unsafe bytes (spaces, 8-bit) percent-encoded; null unless http or https.
CurlUrl ParseWebUrl(const std::string& url) {
  CurlUrl parsed(curl_url());
  if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), CURLU_URLENCODE) != CURLUE_OK)
    return nullptr;
  char* scheme = nullptr;
  if (curl_url_get(parsed.get(), CURLUPART_SCHEME, &scheme, 0) != CURLUE_OK) return nullptr;
  const std::string name = scheme;
  curl_free(scheme);
  if (name != "http" && name != "https") return nullptr;
  return parsed;
}

std::string Text(CURLU* url) {
  char* text = nullptr;
  if (curl_url_get(url, CURLUPART_URL, &text, 0) != CURLUE_OK) return {};
  std::string result = text;
  curl_free(text);
  return result;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

PageProof NotConfirmed(std::string reason) { return {ProofKind::NotConfirmed, std::move(reason)}; }

}  // namespace

std::string CacheDefeatingUrl(const std::string& url, std::uint64_t token) {
  // As in the page address, an address without a scheme is an http:// one.
  CurlUrl parsed = ParseWebUrl(url.find("://") == std::string::npos ? "http://" + url : url);
  if (!parsed) return {};
  const std::string query = "zepa2-nocache=" + std::to_string(token);
  if (curl_url_set(parsed.get(), CURLUPART_QUERY, query.c_str(), CURLU_APPENDQUERY) != CURLUE_OK) return {};
  return Text(parsed.get());
}

bool PageShowsAddress(const std::string& page, const std::string& address) {
  if (address.empty()) return false;
  for (std::size_t at = page.find(address); at != std::string::npos; at = page.find(address, at + 1)) {
    const std::size_t end = at + address.size();
    const bool cutBefore = at > 0 && (IsDigit(page[at - 1]) || page[at - 1] == '.');
    const bool cutAfter = end < page.size() && IsDigit(page[end]);
    if (!cutBefore && !cutAfter) return true;
  }
  return false;
}

PageProof ProvePagePublished(const std::string& checkUrl, const std::string& address,
                             const PageProofOptions& options) {
  // Each fetch asks for a URL of its own, so no cache between here and the site can answer it.
  static std::atomic<std::uint64_t> counter{0};
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const std::string url = CacheDefeatingUrl(
      Cp932ToUtf8(checkUrl),
      static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(now).count()) +
          counter++);
  if (url.empty()) return NotConfirmed(msg::kProofBadUrl);
  if (options.stop && options.stop->stopRequested()) return NotConfirmed(msg::kProofStopped);

  net::HttpGetOptions http;
  http.connectTimeout = options.connectTimeout;
  http.totalTimeout = options.totalTimeout;
  http.maxBodyBytes = options.maxBodyBytes;
  http.stop = options.stop;
  const net::HttpGetResult got = net::HttpGetUrl(url, http);
  if (options.stop && options.stop->stopRequested()) return NotConfirmed(msg::kProofStopped);
  if (got.kind == net::HttpGetKind::BadStatus) {
    return NotConfirmed(msg::kProofHttpStatus + std::to_string(got.status));
  }
  if (got.kind != net::HttpGetKind::Ok)
    return {ProofKind::NotConfirmed, msg::kProofNotFetched, got.outcome.reason};
  if (!PageShowsAddress(got.body, address)) return NotConfirmed(msg::kProofAddressMissing);
  return {ProofKind::Confirmed, {}};
}

std::string FullProofReason(const PageProof& proof) {
  return proof.detail.empty() ? proof.reason : proof.reason + msg::kReasonFollows + proof.detail;
}

std::string DescribePageProof(int number, const PageProof& proof, bool withDetail) {
  std::string text = msg::kProofSite + std::to_string(number);
  if (proof.kind == ProofKind::Confirmed) text += msg::kProofConfirmed;
  else
    text += msg::kProofNotConfirmed +
            (msg::kReasonFollows + (withDetail ? FullProofReason(proof) : proof.reason));
  return Cp932(text);
}

}  // namespace zepa2
