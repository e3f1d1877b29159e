// Bytes written as hex digits: "\xHH" escapes in log lines and the settings file, "%HH" in URLs.
#pragma once

#include <string>
#include <string_view>

namespace zepa2 {

enum class HexCase { Upper, Lower };

// Appends prefix and the byte's two hex digits ("\\x" + "1B", "%" + "2F").
void AppendHexByte(std::string& out, std::string_view prefix, unsigned char byte, HexCase hexCase);

// Each byte for which escape() is true as prefix + two hex digits, every other byte as it is.
template <typename Predicate>
std::string HexEscaped(std::string_view text, std::string_view prefix, HexCase hexCase, Predicate escape) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    if (escape(c)) AppendHexByte(out, prefix, c, hexCase);
    else out += static_cast<char>(c);
  }
  return out;
}

}  // namespace zepa2
