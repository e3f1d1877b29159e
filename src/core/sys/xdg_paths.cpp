#include "core/sys/xdg_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace zepa2 {

std::filesystem::path HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return entry->pw_dir;
  return ".";
}

std::filesystem::path XdgFolder(const char* variable, const std::filesystem::path& fallback) {
  if (const char* value = std::getenv(variable); value && *value == '/') return value;
  return HomeFolder() / fallback;
}

std::filesystem::path XdgConfigHome() { return XdgFolder("XDG_CONFIG_HOME", ".config"); }

std::filesystem::path XdgStateHome() { return XdgFolder("XDG_STATE_HOME", ".local/state"); }

}  // namespace zepa2
