// Deriving the four address markers from one example: the address as the user picked it in the page.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zepa2 {

// Four markers of kGeneratedMarkerLength bytes each, cut by bytes: any of them may begin or end
// inside a two-byte character and must be stored exactly as they are.
struct GeneratedFilters {
  std::string filter1;  // outer start: the bytes before the nearest non-ASCII byte ahead of the address
  std::string filter2;  // outer end: from the nearest non-ASCII byte behind the inner end
  std::string filter3;  // inner start: the bytes right before the address
  std::string filter4;  // inner end: the bytes right after the address
  bool operator==(const GeneratedFilters&) const = default;
};

inline constexpr std::size_t kGeneratedMarkerLength = 10;

// Markers around the first occurrence of picked in page, kept only when ExtractAddress with them
// cuts picked out of page again; nothing when the page gives no usable anchors.
std::optional<GeneratedFilters> GenerateFilters(std::string_view page, std::string_view picked);

}  // namespace zepa2
