#include "core/publish/page_proof.h"

#include <atomic>
#include <memory>

#include "core/net/curl_handle.h"
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

struct Transfer {
  std::size_t maxBodyBytes = 0;
  std::string body;
  bool tooLarge = false;
  const StopToken* stop = nullptr;
};

std::size_t OnBodyBytes(char* data, std::size_t size, std::size_t count, void* user) {
  auto& transfer = *static_cast<Transfer*>(user);
  const std::size_t bytes = size * count;
  if (transfer.body.size() + bytes > transfer.maxBodyBytes) {
    transfer.tooLarge = true;
    return 0;
  }
  transfer.body.append(data, bytes);
  return bytes;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto& transfer = *static_cast<const Transfer*>(user);
  return transfer.stop && transfer.stop->stopRequested() ? 1 : 0;
}

PageProof NotConfirmed(std::string reason) { return {ProofKind::NotConfirmed, std::move(reason)}; }

}  // namespace

std::string CacheDefeatingUrl(const std::string& url, std::uint64_t token) {
  CurlUrl parsed = ParseWebUrl(url);
  if (!parsed) return {};
  const std::string query = "zepa2-nocache=" + std::to_string(token);
  if (curl_url_set(parsed.get(), CURLUPART_QUERY, query.c_str(), CURLU_APPENDQUERY) != CURLUE_OK)
    return {};
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

  net::CurlEasy curl = net::MakeEasyHandle();
  if (!curl) return NotConfirmed(curl_easy_strerror(CURLE_OUT_OF_MEMORY));
  CURL* h = curl.get();
  net::CurlSlist headers;
  net::AppendTo(headers, "Cache-Control: no-cache");
  net::AppendTo(headers, "Pragma: no-cache");
  Transfer transfer{options.maxBodyBytes, {}, false, options.stop};
  char error[CURL_ERROR_SIZE] = "";

  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.connectTimeout.count()));
  curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(options.totalTimeout.count()));
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(h, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &OnBodyBytes);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &OnProgress);
  curl_easy_setopt(h, CURLOPT_XFERINFODATA, &transfer);
  curl_easy_setopt(h, CURLOPT_ERRORBUFFER, error);

  const CURLcode code = curl_easy_perform(h);
  long status = 0;
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
  if (code == CURLE_ABORTED_BY_CALLBACK) return NotConfirmed(msg::kProofStopped);
  if (transfer.tooLarge) return NotConfirmed(curl_easy_strerror(CURLE_FILESIZE_EXCEEDED));
  if (code != CURLE_OK) return NotConfirmed(error[0] ? error : curl_easy_strerror(code));
  if (status != 200) return NotConfirmed(msg::kProofHttpStatus + std::to_string(status));
  if (!PageShowsAddress(transfer.body, address)) return NotConfirmed(msg::kProofAddressMissing);
  return {ProofKind::Confirmed, {}};
}

std::string DescribePageProof(int number, const PageProof& proof) {
  std::string text = msg::kProofSite + std::to_string(number);
  if (proof.kind == ProofKind::Confirmed) text += msg::kProofConfirmed;
  else text += msg::kProofNotConfirmed + proof.reason + msg::kProofClose;
  return Cp932(text);
}

}  // namespace zepa2
