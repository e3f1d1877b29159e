// zepa2-check's signals as requests its loop waits for: stop (SIGTERM, SIGINT) and reload (SIGHUP).
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "core/sys/stop_token.h"

namespace zepa2::cli {

class SignalWatcher {
 public:
  enum class Wake { TimeUp, Stop, Reload };

  // Blocks the three signals in the calling thread, ignores SIGPIPE (a closed output must not
  // end the service) and takes the signals on a thread of its own, which asks `stop` to end the
  // running check at once. Make it before any other thread starts, so they all inherit the mask.
  explicit SignalWatcher(StopToken& stop);
  ~SignalWatcher();
  SignalWatcher(const SignalWatcher&) = delete;
  SignalWatcher& operator=(const SignalWatcher&) = delete;

  // Waits until `deadline` on the monotonic clock, so time spent stopped (SIGSTOP) or in
  // interrupted waits counts as waited. A reload request is taken by the call that reports it.
  Wake WaitUntil(std::chrono::steady_clock::time_point deadline);

  bool stopRequested() const { return stop_.stopRequested(); }

 private:
  void Watch();

  StopToken& stop_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool reload_ = false;
  bool quit_ = false;
  std::thread thread_;
};

}  // namespace zepa2::cli
