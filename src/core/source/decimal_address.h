// The dotted address turned into its unsigned 32-bit decimal form ("192.168.0.1" -> "3232235521").
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zepa2 {

// Reads four dot-separated fields the way atoi does (leading white space, a sign, digits up to
// the first non-digit; no digits read as 0), joins them as "%02X" hexadecimal and gives the low
// 32 bits of that number in decimal. Nothing when a field is empty or fewer than four exist.
// Whatever follows the fourth field is ignored. Fields beyond 255 or below 0 keep that joining
// rule (256.1.1.1 -> 65793, -1.0.0.0 -> 4278190080), so stored pages see the same numbers.
std::optional<std::string> ToDecimalAddress(std::string_view dotted);

}  // namespace zepa2
