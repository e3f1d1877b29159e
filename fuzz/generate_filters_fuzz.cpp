// Fuzzes the filter generation with random pages and picks: whatever it returns must be four
// 10-byte cuts of the page around the pick's first occurrence that lead back to the pick.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>

#include "core/source/address_extract.h"
#include "core/source/filter_generation.h"
#include "core/text/marker_search.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const bool pickFromPage = in.ConsumeBool();
  const std::size_t pickOffset = in.ConsumeIntegralInRange<std::size_t>(0, 4096);
  std::string picked = in.ConsumeRandomLengthString(32);
  const std::string page = in.ConsumeRemainingBytesAsString();
  // Half the runs pick a real piece of the page, as a user copying out of it would.
  if (pickFromPage && !page.empty()) {
    const std::size_t at = pickOffset % page.size();
    picked = page.substr(at, std::max<std::size_t>(1, picked.size() % 16));
  }

  const auto got = zepa2::GenerateFilters(page, picked);
  if (!got) return 0;

  constexpr std::size_t kLen = zepa2::kGeneratedMarkerLength;
  const std::size_t pos = zepa2::FindAligned(page, picked, 0);
  if (pos == std::string::npos || pos < kLen) std::abort();
  const std::size_t e = pos + picked.size();
  if (got->filter3 != page.substr(pos - kLen, kLen) || got->filter4 != page.substr(e, kLen)) std::abort();
  for (const std::string* marker : {&got->filter1, &got->filter2, &got->filter3, &got->filter4}) {
    if (marker->size() != kLen) std::abort();
  }
  if (page.find(got->filter1) == std::string::npos || page.find(got->filter2, e + kLen) == std::string::npos)
    std::abort();
  const auto again = zepa2::ExtractAddress(page, got->filter1, got->filter2, got->filter3, got->filter4);
  if (again.outcome != zepa2::AddressOutcome::AddressFound || again.address != picked) std::abort();
  return 0;
}
