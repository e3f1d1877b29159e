// Where the settings file lives.
#include "core/settings/settings_store.h"
#include "core/sys/xdg_paths.h"

namespace zepa2 {

std::filesystem::path SettingsFilePath() { return XdgConfigHome() / "ZEPA" / "ZEPA2.conf"; }

}  // namespace zepa2
