// Fuzzes the marker search, the address extraction and the decimal form against slow references.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "core/source/address_extract.h"
#include "core/source/decimal_address.h"
#include "core/text/cp932.h"
#include "core/text/marker_search.h"

namespace {

using zepa2::CharLength;

std::size_t FindByStepping(std::string_view text, std::string_view marker, std::size_t from) {
  if (from > text.size()) return std::string_view::npos;
  for (std::size_t pos = from;; pos += CharLength(text, pos)) {
    if (text.substr(pos).starts_with(marker)) return pos;
    if (pos >= text.size()) return std::string_view::npos;
  }
}

// The conversion written with the C runtime, the way the rule reads.
std::optional<std::string> DecimalByCRuntime(const std::string& dotted) {
  std::string hex;
  std::size_t s = 0;
  for (int field = 0; field < 4; ++field) {
    std::size_t d = s > dotted.size() ? std::string::npos : FindByStepping(dotted, ".", s);
    if (d == std::string::npos) d = dotted.size();
    if (s > dotted.size() || d <= s) return std::nullopt;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned>(std::atoi(dotted.substr(s, d - s).c_str())));
    hex += buf;
    s = d + 1;
  }
  const std::string low = hex.size() > 8 ? hex.substr(hex.size() - 8) : hex;
  return std::to_string(std::strtoul(low.c_str(), nullptr, 16));
}

bool HasLongDigitRunOrZero(const std::string& s) {
  int run = 0;
  for (char c : s) {
    if (c == '\0') return true;  // atoi would stop early
    run = (c >= '0' && c <= '9') ? run + 1 : 0;
    if (run > 9) return true;  // atoi's overflow is undefined; the program saturates
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string f1 = in.ConsumeRandomLengthString(16);
  const std::string f2 = in.ConsumeRandomLengthString(16);
  const std::string f3 = in.ConsumeRandomLengthString(16);
  const std::string f4 = in.ConsumeRandomLengthString(16);
  const std::size_t from = in.ConsumeIntegralInRange<std::size_t>(0, 64);
  const std::string page = in.ConsumeRemainingBytesAsString();

  if (zepa2::FindAligned(page, f1, from) != FindByStepping(page, f1, from)) std::abort();

  if (const auto cut = zepa2::ExtractBetween(f1, f2, page)) {
    if (cut->data() < page.data() || cut->data() + cut->size() > page.data() + page.size()) std::abort();
  }
  const auto found = zepa2::ExtractAddress(page, f1, f2, f3, f4);
  if (found.outcome != zepa2::AddressOutcome::AddressFound && !found.address.empty()) std::abort();

  const auto decimal = zepa2::ToDecimalAddress(page);
  if (!HasLongDigitRunOrZero(page) && decimal != DecimalByCRuntime(page)) std::abort();
  return 0;
}
