// What ends a libcurl transfer early besides its own time-outs: the run's stop request and a deadline.
#pragma once

#include <curl/curl.h>

#include <array>
#include <chrono>
#include <string>

#include "core/sys/stop_token.h"

namespace zepa2::net {

using SteadyClock = std::chrono::steady_clock;

struct TransferLimits {
  const StopToken* stop = nullptr;  // null: never stopped
  SteadyClock::time_point deadline = SteadyClock::time_point::max();

  bool stopRequested() const { return stop && stop->stopRequested(); }
  bool deadlinePassed() const { return SteadyClock::now() >= deadline; }
  // Milliseconds left before the deadline, at least 1 (libcurl reads 0 as "no limit").
  long RemainingMilliseconds() const;
};

// Makes every perform on handle call back often enough to notice a stop within a second, and
// abort at the deadline. limits must stay where it is for as long as the handle may perform.
void ApplyTransferLimits(CURL* handle, const TransferLimits* limits);

// Why a perform failed, in libcurl's own words: the detail it left in the error buffer, else the
// code's general text.
std::string CurlReason(CURLcode code, const char* errorBuffer);

// The buffer libcurl writes a failed perform's detail into; owned beside its handle.
struct CurlErrorBuffer {
  std::array<char, CURL_ERROR_SIZE> text{};
  void Clear() { text[0] = '\0'; }
};

}  // namespace zepa2::net
