// The settings file: $XDG_CONFIG_HOME/ZEPA/ZEPA2.conf, read once at start and rewritten on each change.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "core/settings/app_settings.h"

namespace zepa2 {

// Called once for every password byte below 0x20 met while loading or saving; the byte is then
// treated as a space. The window shows its message box from here.
using BadPasswordByteNotice = std::function<void()>;

// $XDG_CONFIG_HOME/ZEPA/ZEPA2.conf, or ~/.config/ZEPA/ZEPA2.conf when the variable is unset.
std::filesystem::path SettingsFilePath();

// Fills every field from the file; a missing file, section, value or unreadable line gives the
// default. Never throws.
void LoadSettings(AppSettings& settings, const std::filesystem::path& file,
                  const BadPasswordByteNotice& notice);

struct SaveResult {
  bool ok = true;
  std::string error;  // UTF-8, names the file and the reason when !ok
};

// Writes every field, atomically (temporary file, flush, rename); file 0600, folder 0700.
SaveResult SaveSettings(const AppSettings& settings, const std::filesystem::path& file,
                        const BadPasswordByteNotice& notice);

}  // namespace zepa2
