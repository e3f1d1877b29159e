#include "core/source/decimal_address.h"

#include <cstdint>
#include <algorithm>
#include <limits>

#include "core/text/marker_search.h"

namespace zepa2 {
namespace {

bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// atoi on the field's bytes; values beyond the int range saturate.
std::int32_t ReadLikeAtoi(std::string_view field) {
  std::size_t i = 0;
  while (i < field.size() && IsCSpace(field[i])) ++i;
  bool negative = false;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
  std::int64_t value = 0;
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
    value = std::min(value * 10 + (field[i] - '0'), kLimit);
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) value = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value);
}

// Number of digits "%02X" writes for the value.
int HexWidth(std::uint32_t value) {
  int digits = 1;
  while (value >>= 4) ++digits;
  return digits < 2 ? 2 : digits;
}

}  // namespace

std::optional<std::string> ToDecimalAddress(std::string_view dotted) {
  // Appending a field to the hexadecimal text is a shift by its digit count; only the low 32
  // bits of the joined number survive.
  std::uint64_t joined = 0;
  std::size_t fieldStart = 0;
  for (int field = 0; field < 4; ++field) {
    std::size_t dot = FindAligned(dotted, ".", fieldStart);
    if (dot == std::string_view::npos) dot = dotted.size();
    if (fieldStart > dotted.size() || dot <= fieldStart) return std::nullopt;
    const auto value = static_cast<std::uint32_t>(ReadLikeAtoi(dotted.substr(fieldStart, dot - fieldStart)));
    joined = ((joined << (4 * HexWidth(value))) | value) & 0xFFFFFFFFu;
    fieldStart = dot + 1;
  }
  return std::to_string(joined);
}

}  // namespace zepa2
