#include "core/startup/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "core/settings/settings_store.h"

namespace zepa2 {

std::filesystem::path InstanceLockPath() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) return std::filesystem::path(runtime) / "ZEPA2.lock";
  return SettingsFilePath().parent_path() / "ZEPA2.lock";
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) close(fd_);
}

InstanceLockResult InstanceLock::Acquire(const std::filesystem::path& file) {
  if (fd_ >= 0) return InstanceLockResult::Acquired;
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  int fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return InstanceLockResult::CannotOpen;
  int rc;
  do {
    rc = flock(fd, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    bool busy = errno == EWOULDBLOCK;
    close(fd);
    return busy ? InstanceLockResult::HeldByAnother : InstanceLockResult::CannotOpen;
  }
  fd_ = fd;
  return InstanceLockResult::Acquired;
}

}  // namespace zepa2
