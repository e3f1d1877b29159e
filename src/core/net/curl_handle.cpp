#include "core/net/curl_handle.h"

#include <mutex>

namespace zepa2::net {

void EnsureCurlGlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// The pairing lives in the handle's private pointer, which nothing else of ours uses.
CURLM* MultiOf(CURL* handle) {
  char* paired = nullptr;
  if (curl_easy_getinfo(handle, CURLINFO_PRIVATE, &paired) != CURLE_OK) return nullptr;
  return reinterpret_cast<CURLM*>(paired);
}

void CurlEasyDeleter::operator()(CURL* h) const {
  CURLM* paired = MultiOf(h);
  curl_easy_cleanup(h);
  if (paired) curl_multi_cleanup(paired);
}

CurlEasy MakeEasyHandle() {
  EnsureCurlGlobalInit();
  CurlEasy h(curl_easy_init());
  if (h) {
    curl_easy_setopt(h.get(), CURLOPT_PRIVATE, curl_multi_init());
    curl_easy_setopt(h.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h.get(), CURLOPT_PROXY, "");  // ignore http_proxy & co. of the environment
  }
  return h;
}

void AppendTo(CurlSlist& list, const char* line) {
  curl_slist* grown = curl_slist_append(list.get(), line);
  if (grown) {
    list.release();
    list.reset(grown);
  }
}

}  // namespace zepa2::net
