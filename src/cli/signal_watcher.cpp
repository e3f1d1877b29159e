#include "cli/signal_watcher.h"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdint>

namespace zepa2::cli {
namespace {

sigset_t WatchedSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGHUP);
  sigaddset(&set, SIGUSR1);
  return set;
}

void Bump(int eventFd) {
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = write(eventFd, &one, sizeof one);
}

void Drain(int eventFd) {
  std::uint64_t count = 0;
  [[maybe_unused]] const ssize_t n = read(eventFd, &count, sizeof count);
}

}  // namespace

SignalWatcher::SignalWatcher(StopToken& stop) : stop_(stop) {
  const sigset_t set = WatchedSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  signal(SIGPIPE, SIG_IGN);
  signals_ = signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
  quit_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  thread_ = std::thread(&SignalWatcher::Watch, this);
}

SignalWatcher::~SignalWatcher() {
  Bump(quit_);
  thread_.join();
  for (const int fd : {signals_, quit_, wake_}) {
    if (fd >= 0) close(fd);
  }
}

void SignalWatcher::Post(bool Requests::*request) {
  {
    std::lock_guard lock(mutex_);
    waiting_.*request = true;
  }
  Bump(wake_);
}

// Sleeps in poll until a signal or the end comes: no time-out, so an idle service never wakes.
void SignalWatcher::Watch() {
  for (;;) {
    pollfd ready[] = {{signals_, POLLIN, 0}, {quit_, POLLIN, 0}};
    if (poll(ready, 2, -1) < 0) continue;
    if (ready[1].revents) return;
    signalfd_siginfo info{};
    while (read(signals_, &info, sizeof info) == sizeof info) {
      switch (info.ssi_signo) {
        case SIGTERM:
        case SIGINT:
          stop_.RequestStop();  // ends a running transfer or pause
          Post(&Requests::stop);
          break;
        case SIGHUP:
          Post(&Requests::reload);
          break;
        case SIGUSR1:
          Post(&Requests::checkNow);
          break;
        default:
          break;
      }
    }
  }
}

SignalWatcher::Requests SignalWatcher::Take() {
  Drain(wake_);
  std::lock_guard lock(mutex_);
  Requests taken = waiting_;
  taken.stop = stop_.stopRequested();
  waiting_.reload = false;
  waiting_.checkNow = false;
  return taken;
}

}  // namespace zepa2::cli
