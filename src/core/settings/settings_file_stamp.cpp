#include "core/settings/settings_file_stamp.h"

#include <sys/stat.h>

namespace zepa2 {

SettingsFileStamp::SettingsFileStamp(std::filesystem::path file) : file_(std::move(file)), seen_(Now()) {}

std::optional<SettingsFileStamp::Stamp> SettingsFileStamp::Now() const {
  struct stat info {};
  if (::stat(file_.c_str(), &info) != 0) return std::nullopt;
  return Stamp{info.st_ino, info.st_size, info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
}

bool SettingsFileStamp::Changed() {
  const std::optional<Stamp> now = Now();
  const bool changed = now != seen_;
  seen_ = now;
  return changed;
}

}  // namespace zepa2
