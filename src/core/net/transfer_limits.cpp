#include "core/net/transfer_limits.h"

#include <algorithm>
#include <cstring>

namespace zepa2::net {
namespace {

int OnProgress(void* data, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto* limits = static_cast<const TransferLimits*>(data);
  return limits->stopRequested() || limits->deadlinePassed() ? 1 : 0;
}

}  // namespace

long TransferLimits::RemainingMilliseconds() const {
  if (deadline == SteadyClock::time_point::max()) return 0x7FFFFFFF;
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
  return static_cast<long>(std::clamp<long long>(left, 1, 0x7FFFFFFF));
}

void ApplyTransferLimits(CURL* handle, const TransferLimits* limits) {
  curl_easy_setopt(handle, CURLOPT_NOPROGRESS, limits ? 0L : 1L);
  curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, limits ? &OnProgress : nullptr);
  curl_easy_setopt(handle, CURLOPT_XFERINFODATA, limits);
}

std::string CurlReason(CURLcode code, const char* errorBuffer) {
  // libcurl keeps the first failure it notes during a transfer, and active-mode FTP notes a
  // harmless one (printing the data socket's address) early in every session: that one would
  // hide the real reason.
  const bool spurious = errorBuffer && std::strstr(errorBuffer, "inet_ntop") != nullptr;
  if (errorBuffer && errorBuffer[0] != '\0' && !spurious) {
    std::string reason = errorBuffer;
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
    return reason;
  }
  return curl_easy_strerror(code);
}

}  // namespace zepa2::net
