// Loading and saving the settings file from the window, with the program's message boxes.
#pragma once

#include "core/settings/app_settings.h"

class QWidget;

namespace zepa2::ui {

// Loads from SettingsFilePath(); each password byte that cannot be used gets its own box.
void LoadAppSettings(QWidget* parent, AppSettings& settings);

// Saves to SettingsFilePath(); a failed save shows the file and the reason and returns false.
bool SaveAppSettings(QWidget* parent, const AppSettings& settings);

}  // namespace zepa2::ui
