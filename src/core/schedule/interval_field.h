// The interval number the user types: a whole number from 0 to 9999.
#pragma once

#include <optional>
#include <string_view>

namespace zepa2 {

inline constexpr int kIntervalMax = 9999;

// The number in text (spaces around it allowed, an optional sign), or nothing when the text is
// not a whole number in 0..kIntervalMax.
std::optional<int> ParseIntervalField(std::string_view text);

}  // namespace zepa2
