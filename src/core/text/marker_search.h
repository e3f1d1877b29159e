// Finding a marker in CP932 text so that a match never starts on the second byte of a character.
#pragma once

#include <cstddef>
#include <string_view>

namespace zepa2 {

// Position of the first occurrence of marker in text at or after from, where candidate starts
// step through text by whole CP932 characters beginning at from (the byte at from always counts
// as a character start, even inside a two-byte character). An empty marker is found at from.
// npos when there is no such occurrence or from lies beyond the end of text.
// Linear in the length of text and marker, whatever their contents.
std::size_t FindAligned(std::string_view text, std::string_view marker, std::size_t from = 0);

}  // namespace zepa2
