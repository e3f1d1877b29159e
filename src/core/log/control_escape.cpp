#include "core/log/control_escape.h"

#include "core/text/hex_escape.h"

namespace zepa2 {
namespace {

// The length of the well-formed UTF-8 sequence at the start of text (no overlong forms, no
// surrogates, nothing above U+10FFFF), or 0 when it starts with no such sequence.
std::size_t Utf8SequenceLength(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  else if (lead >= 0xE0 && lead <= 0xEF) length = 3;
  else if (lead >= 0xF0 && lead <= 0xF4) length = 4;
  else return 0;
  if (lead == 0xE0) low = 0xA0;
  if (lead == 0xED) high = 0x9F;
  if (lead == 0xF0) low = 0x90;
  if (lead == 0xF4) high = 0x8F;
  if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i)
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  return length;
}

}  // namespace

std::string EscapeControlBytes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const unsigned char c = static_cast<unsigned char>(text.front());
    const std::size_t length = Utf8SequenceLength(text);
    if (length == 0 || c < 0x20 || c == 0x7F) {
      AppendHexByte(out, "\\x", c, HexCase::Lower);
      text.remove_prefix(1);
    } else {
      out.append(text.substr(0, length));
      text.remove_prefix(length);
    }
  }
  return out;
}

}  // namespace zepa2
