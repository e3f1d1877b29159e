// Where the settings file lives.
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "core/settings/settings_store.h"

namespace zepa2 {
namespace {

std::filesystem::path HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return entry->pw_dir;
  return ".";
}

}  // namespace

std::filesystem::path SettingsFilePath() {
  std::filesystem::path config;
  // A relative XDG_CONFIG_HOME is invalid and must be ignored; it would follow the working folder.
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') config = xdg;
  else config = HomeFolder() / ".config";
  return config / "ZEPA" / "ZEPA2.conf";
}

}  // namespace zepa2
