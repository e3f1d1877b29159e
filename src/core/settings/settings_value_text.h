// How one value is spelled in the settings file: CP932 strings as escaped UTF-8, integers in decimal.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zepa2 {

// CP932 bytes to the text after "Name=". Characters that survive a trip through UTF-8 are written
// as UTF-8; every other byte, control bytes, 0x7F and a space at either end become \xHH so that
// nothing is lost or trimmed by an editor; a backslash becomes \\.
std::string EscapeSettingsText(std::string_view cp932);

// The inverse: nullopt for a bad escape, invalid UTF-8 or a character CP932 cannot hold.
std::optional<std::string> UnescapeSettingsText(std::string_view text);

std::string FormatSettingsInt(int value);

// Decimal with an optional '-', nothing else around it; nullopt when it is not an int.
std::optional<int> ParseSettingsInt(std::string_view text);

}  // namespace zepa2
