// Every value of the settings file as a named field ("SECTION.KEY") read and set as the file spells
// it: the one layout table seen a field at a time, for the configuration command.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings/app_settings.h"

namespace zepa2 {

enum class SettingKind {
  Text,    // CP932 text, spelled as in the file (UTF-8 with \xHH and \\ escapes)
  Number,  // an integer, a box (0 or 1), the address source or a transfer mode, in decimal
  Secret,  // a password or token: the secret itself, or a reference to where it is kept
};

struct SettingField {
  std::string key;  // "FTP.Server1": section and name exactly as in the file
  SettingKind kind;
};

// Every field, in the order of the file.
std::vector<SettingField> SettingFields();

// The field of that key; nothing for a key the file does not have.
std::optional<SettingField> FindSettingField(std::string_view key);

// The field's value spelled as in the file; a secret as it is held (the caller hides it). Nothing
// for a key the file does not have.
std::optional<std::string> GetSettingValue(const AppSettings& settings, std::string_view key);

// Sets a field from its spelling, checked with the rules the dialogs apply. A secret takes only a
// reference (or nothing, which clears it): a secret itself never goes through a command line.
// On refusal the record is unchanged and the answer (UTF-8) says why.
std::optional<std::string> SetSettingValue(AppSettings& settings, std::string_view key,
                                           std::string_view spelled);

// Sets a secret field to the secret itself (read from a terminal or a pipe), or to a reference.
std::optional<std::string> SetSecretValue(AppSettings& settings, std::string_view key,
                                          std::string_view secret);

}  // namespace zepa2
