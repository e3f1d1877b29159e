#include "core/settings/settings_value_text.h"

#include <charconv>

#include "core/text/cp932.h"
#include "core/text/hex_escape.h"

namespace zepa2 {
namespace {

void AppendHexByte(std::string& out, unsigned char byte) {
  zepa2::AppendHexByte(out, "\\x", byte, HexCase::Upper);
}

bool NeedsEscapeAlone(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

std::optional<unsigned char> HexDigit(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned char>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<unsigned char>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return static_cast<unsigned char>(c - 'a' + 10);
  return std::nullopt;
}

// UTF-8 text to CP932, refusing anything that would not convert exactly (invalid UTF-8 or a
// character with no CP932 code would otherwise turn into '?').
bool AppendUtf8AsCp932(std::string_view utf8, std::string& out) {
  if (utf8.empty()) return true;
  std::string bytes = Utf8ToCp932(utf8);
  if (Cp932ToUtf8(bytes) != utf8) return false;
  out += bytes;
  return true;
}

}  // namespace

std::string EscapeSettingsText(std::string_view cp932) {
  std::string out;
  out.reserve(cp932.size() + 8);
  for (std::size_t pos = 0; pos < cp932.size();) {
    const std::size_t length = CharLength(cp932, pos);
    const std::string_view character = cp932.substr(pos, length);
    const auto first = static_cast<unsigned char>(character[0]);
    const bool atEdge = pos == 0 || pos + length == cp932.size();
    if (character == "\\") {
      out += "\\\\";
    } else if (NeedsEscapeAlone(first) || (first == ' ' && atEdge)) {
      AppendHexByte(out, first);
    } else if (first < 0x80) {
      out += character;
    } else if (RoundTripsThroughUtf8(character)) {
      out += Cp932ToUtf8(character);
    } else {
      for (char byte : character) AppendHexByte(out, static_cast<unsigned char>(byte));
    }
    pos += length;
  }
  return out;
}

std::optional<std::string> UnescapeSettingsText(std::string_view text) {
  std::string out;
  std::size_t literalStart = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (text[pos] != '\\') {
      ++pos;
      continue;
    }
    // Literal runs are converted on their own: escaped bytes must not join them in the converter.
    if (!AppendUtf8AsCp932(text.substr(literalStart, pos - literalStart), out)) return std::nullopt;
    if (pos + 1 < text.size() && text[pos + 1] == '\\') {
      out += '\\';
      pos += 2;
    } else if (pos + 3 < text.size() && text[pos + 1] == 'x') {
      auto high = HexDigit(text[pos + 2]);
      auto low = HexDigit(text[pos + 3]);
      if (!high || !low) return std::nullopt;
      out += static_cast<char>((*high << 4) | *low);
      pos += 4;
    } else {
      return std::nullopt;
    }
    literalStart = pos;
  }
  if (!AppendUtf8AsCp932(text.substr(literalStart), out)) return std::nullopt;
  return out;
}

std::string FormatSettingsInt(int value) { return std::to_string(value); }

std::optional<int> ParseSettingsInt(std::string_view text) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

}  // namespace zepa2
