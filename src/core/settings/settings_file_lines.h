// The line level of the settings file: [SECTION] headers and Name=value lines, nothing decoded yet.
#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zepa2 {

// No settings file comes near this; a larger one is not read.
inline constexpr std::size_t kMaxSettingsFileBytes = 16u << 20;

// Longer lines are not settings anyone wrote; they are skipped without being held in memory.
inline constexpr std::size_t kMaxSettingsLineBytes = 64 * 1024;

struct SettingsFileLines {
  bool found = false;               // the file exists and could be opened
  bool hadUnreadableLines = false;  // a line was neither blank, comment, header nor Name=value
  std::map<std::pair<std::string, std::string>, std::string> values;  // (section, name) -> raw text
  std::vector<std::pair<std::string, std::string>> order;             // the keys of values, as first met
};

// Reads the file; a missing or unopenable file gives found == false and no values.
SettingsFileLines ReadSettingsFileLines(const std::filesystem::path& file);

}  // namespace zepa2
