// Code page 932 (Shift-JIS) byte strings: character stepping and conversion to and from UTF-8.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zepa2 {

// A byte in 0x81..0x9F or 0xE0..0xFC starts a two-byte character.
constexpr bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Length in bytes of the character starting at pos (1 or 2; 1 when a lead byte ends the text).
std::size_t CharLength(std::string_view text, std::size_t pos);

// UTF-8 text to CP932 bytes. A character CP932 cannot hold becomes '?'.
std::string Utf8ToCp932(std::string_view utf8);

// UTF-8 text to CP932 bytes that give back exactly that text; nothing when the text is not valid
// UTF-8 or holds a character CP932 has no place for (a name from a UTF-8 server, say).
std::optional<std::string> Utf8ToCp932Exactly(std::string_view utf8);

// CP932 bytes to UTF-8 for display. A byte that does not decode becomes U+FFFD; nothing is dropped
// silently, but the result does not always convert back to the same bytes.
std::string Cp932ToUtf8(std::string_view cp932);

// True when the CP932 bytes convert to UTF-8 and back to exactly the same bytes.
bool RoundTripsThroughUtf8(std::string_view cp932);

// Shorthand for program texts, which are written in UTF-8 in the source.
inline std::string Cp932(std::string_view utf8) { return Utf8ToCp932(utf8); }

}  // namespace zepa2
