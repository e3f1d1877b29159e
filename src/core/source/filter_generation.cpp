#include "core/source/filter_generation.h"

#include <algorithm>

#include "core/source/address_extract.h"
#include "core/text/marker_search.h"

namespace zepa2 {
namespace {

constexpr std::size_t kLen = kGeneratedMarkerLength;

bool IsWhiteSpaceByte(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsNonAscii(char c) { return static_cast<unsigned char>(c) >= 0x80; }

bool AllWhiteSpace(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(), IsWhiteSpaceByte);
}

// The last non-ASCII byte in [1, last]; byte 0 never anchors a marker. npos when there is none.
std::size_t ScanBackForNonAscii(std::string_view page, std::size_t last) {
  for (std::size_t k = last; k >= 1; --k) {
    if (IsNonAscii(page[k])) return k;
  }
  return std::string_view::npos;
}

std::size_t ScanForwardForNonAscii(std::string_view page, std::size_t first) {
  for (std::size_t m = first; m < page.size(); ++m) {
    if (IsNonAscii(page[m])) return m;
  }
  return std::string_view::npos;
}

}  // namespace

std::optional<GeneratedFilters> GenerateFilters(std::string_view page, std::string_view picked) {
  const std::size_t n = page.size();
  const std::size_t pos = FindAligned(page, picked, 0);
  if (pos == std::string_view::npos || pos < kLen) return std::nullopt;

  GeneratedFilters filters;
  filters.filter3 = page.substr(pos - kLen, kLen);
  if (AllWhiteSpace(filters.filter3)) return std::nullopt;

  // The inner end needs 10 bytes, and the outer end one more byte behind them at the least.
  const std::size_t e = pos + picked.size();
  if (e + kLen >= n) return std::nullopt;
  filters.filter4 = page.substr(e, kLen);
  if (AllWhiteSpace(filters.filter4)) return std::nullopt;

  if (pos - kLen == 0) return std::nullopt;
  const std::size_t k = ScanBackForNonAscii(page, pos - kLen);
  if (k == std::string_view::npos || k < kLen) return std::nullopt;
  filters.filter1 = page.substr(k - kLen, kLen);

  const std::size_t m = ScanForwardForNonAscii(page, e + kLen);
  if (m == std::string_view::npos || m + kLen > n) return std::nullopt;
  filters.filter2 = page.substr(m, kLen);

  // Keep only markers that the check cycle, applying them the same way, leads back to this text.
  const ExtractedAddress check =
      ExtractAddress(page, filters.filter1, filters.filter2, filters.filter3, filters.filter4);
  if (check.outcome != AddressOutcome::AddressFound || check.address != picked) return std::nullopt;
  return filters;
}

}  // namespace zepa2
