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

std::filesystem::path XdgCacheHome() { return XdgFolder("XDG_CACHE_HOME", ".cache"); }

std::optional<std::filesystem::path> XdgRuntimeDir() {
  const char* value = std::getenv("XDG_RUNTIME_DIR");
  if (!value || *value != '/') return std::nullopt;
  std::error_code ec;
  if (!std::filesystem::is_directory(value, ec)) return std::nullopt;
  return std::filesystem::path(value);
}

}  // namespace zepa2
