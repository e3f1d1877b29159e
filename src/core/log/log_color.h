// Colours of activity-log lines, as 0x00BBGGRR values.
#pragma once

#include <cstdint>

namespace zepa2 {

using LogColor = std::uint32_t;

namespace log_color {
inline constexpr LogColor kBlack = 0x000000;     // a step begins or ends
inline constexpr LogColor kGreen = 0x008000;     // success
inline constexpr LogColor kRed = 0x0000FF;       // failure
inline constexpr LogColor kViolet = 0xE22B8A;    // the search starts, or nothing to publish
inline constexpr LogColor kDarkBlue = 0x8B0000;  // a site's FTP stage
inline constexpr LogColor kMagenta = 0xFF00FF;   // local-address mode
}  // namespace log_color

constexpr int LogColorRed(LogColor c) { return static_cast<int>(c & 0xFF); }
constexpr int LogColorGreen(LogColor c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int LogColorBlue(LogColor c) { return static_cast<int>((c >> 16) & 0xFF); }

}  // namespace zepa2
