#include "core/source/ipv4_literal.h"

namespace zepa2 {

std::optional<std::string> Ipv4Literal(std::string_view text) {
  constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";
  const std::size_t first = text.find_first_not_of(kWhiteSpace);
  if (first == std::string_view::npos) return std::nullopt;
  text = text.substr(first, text.find_last_not_of(kWhiteSpace) - first + 1);

  int parts = 0;
  std::size_t at = 0;
  bool allZero = true, allFull = true;
  while (parts < 4) {
    std::size_t digits = 0;
    int value = 0;
    while (at + digits < text.size() && text[at + digits] >= '0' && text[at + digits] <= '9' && digits < 4) {
      value = value * 10 + (text[at + digits] - '0');
      ++digits;
    }
    if (digits == 0 || digits > 3 || value > 255 || (digits > 1 && text[at] == '0')) return std::nullopt;
    allZero = allZero && value == 0;
    allFull = allFull && value == 255;
    at += digits;
    ++parts;
    if (parts < 4) {
      if (at >= text.size() || text[at] != '.') return std::nullopt;
      ++at;
    }
  }
  if (at != text.size() || allZero || allFull) return std::nullopt;
  return std::string(text);
}

}  // namespace zepa2
