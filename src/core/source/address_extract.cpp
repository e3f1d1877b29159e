#include "core/source/address_extract.h"

#include "core/text/marker_search.h"

namespace zepa2 {

std::optional<std::string_view> ExtractBetween(std::string_view startMarker, std::string_view endMarker,
                                               std::string_view text) {
  const std::size_t start = FindAligned(text, startMarker, 0);
  if (start == std::string_view::npos) return std::nullopt;
  const std::size_t from = start + startMarker.size();
  const std::size_t end = FindAligned(text, endMarker, from);
  if (end == std::string_view::npos) return std::nullopt;
  return text.substr(from, end - from);
}

ExtractedAddress ExtractAddress(std::string_view page, std::string_view filter1, std::string_view filter2,
                                std::string_view filter3, std::string_view filter4) {
  const auto region = ExtractBetween(filter1, filter2, page);
  if (!region) return {AddressOutcome::FirstPairMissing, {}};
  const auto address = ExtractBetween(filter3, filter4, *region);
  if (!address) return {AddressOutcome::SecondPairMissing, {}};
  return {AddressOutcome::AddressFound, std::string(*address)};
}

}  // namespace zepa2
