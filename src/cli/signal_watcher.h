// zepa2-check's signals as requests its loop waits for: stop (SIGTERM, SIGINT), reload (SIGHUP)
// and check now (SIGUSR1).
#pragma once

#include <mutex>
#include <thread>

#include "core/sys/stop_token.h"

namespace zepa2::cli {

class SignalWatcher {
 public:
  struct Requests {
    bool stop = false;
    bool reload = false;
    bool checkNow = false;
  };

  // Blocks the four signals in the calling thread, ignores SIGPIPE (a closed output must not
  // end the service) and takes the signals on a thread of its own, which sleeps until one comes
  // and asks `stop` to end the running check at once. Make it before any other thread starts,
  // so they all inherit the mask.
  explicit SignalWatcher(StopToken& stop);
  ~SignalWatcher();
  SignalWatcher(const SignalWatcher&) = delete;
  SignalWatcher& operator=(const SignalWatcher&) = delete;

  // Readable while requests wait to be taken: the loop waits on it beside its other descriptors.
  int descriptor() const { return wake_; }
  // Takes the waiting requests; a reload and a check-now are each taken by one call, a stop stays.
  Requests Take();

  bool stopRequested() const { return stop_.stopRequested(); }

 private:
  void Watch();
  void Post(bool Requests::*request);

  StopToken& stop_;
  int signals_ = -1;  // signalfd of the four signals
  int quit_ = -1;     // eventfd: the destructor ends the thread through it
  int wake_ = -1;     // eventfd: counts requests not yet taken
  std::mutex mutex_;
  Requests waiting_;
  std::thread thread_;
};

}  // namespace zepa2::cli
