#include "core/text/marker_search.h"

#include <cstring>
#include <vector>

#include "core/text/cp932.h"

namespace zepa2 {
namespace {

constexpr std::size_t npos = std::string_view::npos;

// Whether pos starts a character, given that boundary (<= pos) is known to start one.
// Any byte outside the lead-byte ranges ends a character, whether it is a one-byte character or
// the second byte of a pair, so the byte after it starts one; from there on the run of lead-range
// bytes up to pos pairs off, and pos is a start exactly when that run has even length.
bool StartsCharacter(std::string_view text, std::size_t boundary, std::size_t pos) {
  std::size_t runStart = boundary;
  for (std::size_t j = pos; j > boundary; --j) {
    if (!IsLeadByte(static_cast<unsigned char>(text[j - 1]))) {
      runStart = j;
      break;
    }
  }
  return (pos - runStart) % 2 == 0;
}

// Walks the occurrences of a marker in order and keeps the first that starts a character. Each
// rejected occurrence starts on a second byte, so the byte after it starts a character: the
// alignment checks never look at a byte twice.
class AlignedMatcher {
 public:
  AlignedMatcher(std::string_view text, std::size_t from) : text_(text), boundary_(from) {}

  // True when an occurrence at pos is accepted; otherwise remembers the next known start.
  bool Accept(std::size_t pos) {
    if (StartsCharacter(text_, boundary_, pos)) return true;
    boundary_ = pos + 1;
    return false;
  }

 private:
  std::string_view text_;
  std::size_t boundary_;
};

// Knuth-Morris-Pratt over text from pos: linear even when misaligned occurrences overlap densely.
std::size_t FindAlignedKmp(std::string_view text, std::string_view marker, std::size_t pos,
                           AlignedMatcher& matcher) {
  const std::size_t m = marker.size();
  std::vector<std::size_t> border(m, 0);
  for (std::size_t i = 1, k = 0; i < m; ++i) {
    while (k > 0 && marker[i] != marker[k]) k = border[k - 1];
    if (marker[i] == marker[k]) ++k;
    border[i] = k;
  }
  for (std::size_t i = pos, k = 0; i < text.size(); ++i) {
    while (k > 0 && text[i] != marker[k]) k = border[k - 1];
    if (text[i] == marker[k]) ++k;
    if (k == m) {
      const std::size_t start = i + 1 - m;
      if (matcher.Accept(start)) return start;
      k = border[k - 1];
    }
  }
  return npos;
}

}  // namespace

std::size_t FindAligned(std::string_view text, std::string_view marker, std::size_t from) {
  if (from > text.size()) return npos;
  if (marker.empty()) return from;
  AlignedMatcher matcher(text, from);
  // memmem is the fast path; occurrences it finds on second bytes cost a marker length each, so
  // once they add up to more than the text itself the search switches to the linear matcher.
  std::size_t rejectedWork = 0;
  std::size_t pos = from;
  while (pos < text.size()) {
    const void* hit = memmem(text.data() + pos, text.size() - pos, marker.data(), marker.size());
    if (hit == nullptr) return npos;
    const std::size_t start = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
    if (matcher.Accept(start)) return start;
    pos = start + 1;
    rejectedWork += marker.size();
    if (rejectedWork > text.size()) return FindAlignedKmp(text, marker, pos, matcher);
  }
  return npos;
}

}  // namespace zepa2
