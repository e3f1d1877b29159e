// The per-user lock that keeps a second copy of the program from starting.
#pragma once

#include <filesystem>

namespace zepa2 {

enum class InstanceLockResult { Acquired, HeldByAnother, CannotOpen };

// $XDG_RUNTIME_DIR/ZEPA2.lock, or the settings folder when the variable is unset or empty.
std::filesystem::path InstanceLockPath();

// Holds an exclusive flock on the lock file for its life. The kernel drops the lock when the
// process ends, however it ends, so a crash never leaves a stale lock behind.
class InstanceLock {
 public:
  InstanceLock() = default;
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  InstanceLockResult Acquire(const std::filesystem::path& file);
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace zepa2
