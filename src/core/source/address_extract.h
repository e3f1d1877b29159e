// Cutting the address out of a router page with two pairs of marker strings, or taking it whole.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zepa2 {

// The bytes between the first startMarker in text and the first endMarker behind it (both found
// on CP932 character starts); nothing when either marker is missing. The view points into text.
std::optional<std::string_view> ExtractBetween(std::string_view startMarker, std::string_view endMarker,
                                               std::string_view text);

enum class AddressOutcome { AddressFound, FirstPairMissing, SecondPairMissing };

struct ExtractedAddress {
  AddressOutcome outcome = AddressOutcome::FirstPairMissing;
  std::string address;  // only with AddressFound; used as cut, neither trimmed nor validated
};

// filter1/filter2 cut a region out of page, filter3/filter4 cut the address out of the region.
ExtractedAddress ExtractAddress(std::string_view page, std::string_view filter1, std::string_view filter2,
                                std::string_view filter3, std::string_view filter4);

}  // namespace zepa2
