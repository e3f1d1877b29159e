// Text between the terminal and the program: arguments and output in the locale's encoding, which
// the program's own texts (UTF-8) are converted from and to.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zepa2::cli {

// Takes the user's locale for the conversions below (LC_CTYPE only: messages stay as they are).
void UseUserLocale();

// Text in the locale's encoding to UTF-8; nothing when it does not convert. The C locale's ASCII
// is taken as UTF-8, as the shells of a minimal system hand it over unchanged.
std::optional<std::string> LocaleToUtf8(std::string_view text);

// UTF-8 to the locale's encoding; a character it cannot hold becomes '?'.
std::string Utf8ToLocale(std::string_view utf8);

}  // namespace zepa2::cli
