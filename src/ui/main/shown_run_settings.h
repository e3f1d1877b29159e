// The run settings the main window shows, and whether they differ from the applied ones.
#pragma once

#include "core/settings/app_settings.h"

namespace zepa2 {

// What the window shows for the five values a manual or test run compares before it starts
// (the run-at-start box is not among them).
struct ShownRunSettings {
  int interval = 0;
  int intervalUnit = 0;
  bool startMinimized = false;
  bool useLocalAddress = false;
  bool decimalAddress = false;

  static ShownRunSettings From(const AppSettings& s) {
    return {s.interval, s.intervalUnit, s.startMinimized, s.useLocalAddress, s.decimalAddress};
  }
  bool operator==(const ShownRunSettings&) const = default;
};

// True when the user changed one of the five without applying it.
inline bool HasUnappliedChanges(const ShownRunSettings& shown, const AppSettings& applied) {
  return shown != ShownRunSettings::From(applied);
}

}  // namespace zepa2
