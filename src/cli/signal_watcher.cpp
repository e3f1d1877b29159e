#include "cli/signal_watcher.h"

#include <signal.h>

#include <ctime>

namespace zepa2::cli {
namespace {

sigset_t WatchedSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGHUP);
  return set;
}

// How often the watcher thread looks whether it should end, should the wake-up at exit be lost.
constexpr timespec kPollInterval{0, 200'000'000};

}  // namespace

SignalWatcher::SignalWatcher(StopToken& stop) : stop_(stop) {
  const sigset_t set = WatchedSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  signal(SIGPIPE, SIG_IGN);
  thread_ = std::thread(&SignalWatcher::Watch, this);
}

SignalWatcher::~SignalWatcher() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  // A signal of the watched set, sent to the watcher thread alone, ends its wait at once: a
  // one-shot run must not linger at exit for the poll interval.
  pthread_kill(thread_.native_handle(), SIGHUP);
  thread_.join();
}

void SignalWatcher::Watch() {
  const sigset_t set = WatchedSignals();
  for (;;) {
    {
      std::lock_guard lock(mutex_);
      if (quit_) return;
    }
    const int signal = sigtimedwait(&set, nullptr, &kPollInterval);
    {
      std::lock_guard lock(mutex_);
      if (quit_) return;
    }
    if (signal == SIGTERM || signal == SIGINT) {
      stop_.RequestStop();  // ends a running transfer or pause
      std::lock_guard lock(mutex_);
      wake_.notify_all();
    } else if (signal == SIGHUP) {
      std::lock_guard lock(mutex_);
      reload_ = true;
      wake_.notify_all();
    }
  }
}

SignalWatcher::Wake SignalWatcher::WaitUntil(std::chrono::steady_clock::time_point deadline) {
  std::unique_lock lock(mutex_);
  wake_.wait_until(lock, deadline, [this] { return stop_.stopRequested() || reload_; });
  if (stop_.stopRequested()) return Wake::Stop;
  if (reload_) {
    reload_ = false;
    return Wake::Reload;
  }
  return Wake::TimeUp;
}

}  // namespace zepa2::cli
