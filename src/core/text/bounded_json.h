// JSON from a server or a state file, read only when it nests no deeper than a bound.
#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>
#include <optional>
#include <string_view>

namespace zepa2 {

// Deeper than any answer or file this program reads: an API result is an object of lists of objects.
inline constexpr std::size_t kMaxJsonDepth = 64;

// The parsed value, or nothing when the text is not JSON or nests deeper than maxDepth. The depth is
// measured by a streaming pass before anything is built, so that no copy, walk or dump of the value
// can later recurse as deep as the sender chose.
std::optional<nlohmann::json> ParseBoundedJson(std::string_view text, std::size_t maxDepth = kMaxJsonDepth);

}  // namespace zepa2
