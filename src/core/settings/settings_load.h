// Reading the settings file into the record, with a report of what was found.
#pragma once

#include <filesystem>

#include "core/settings/settings_store.h"

namespace zepa2 {

struct SettingsLoadReport {
  bool fileFound = false;
  bool hadUnreadableLines = false;  // some line or value could not be read and took its default
};

// LoadSettings with the report; the saver uses it to decide whether the old file needs keeping.
SettingsLoadReport LoadSettingsWithReport(AppSettings& settings, const std::filesystem::path& file,
                                          const BadPasswordByteNotice& notice);

}  // namespace zepa2
