// Folder-path rules of the folder picker: how a starting path is tidied and what its text line shows.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zepa2 {

// The picker's text line holds at most this many bytes, like the fixed buffer it has always had.
inline constexpr std::size_t kSelectedPathLineLimit = 259;

// Drops one trailing "\" or "/" from a CP932 path, unless the path is that one byte or the
// separator follows ":" (so "C:\" and "/" keep theirs). The second byte of a two-byte character is
// never taken for a separator, even when it is 0x5C.
std::string NormalizeStartPath(std::string_view path);

// "選択中のパス：<path>" in CP932, cut to kSelectedPathLineLimit bytes.
std::string SelectedPathLine(std::string_view path);

}  // namespace zepa2
