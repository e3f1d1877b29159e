#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/text/cp932.h"
#include "core/text/marker_search.h"

namespace zepa2 {
namespace {

constexpr auto npos = std::string_view::npos;

// The rule spelled out the slow way: step by characters from `from`, compare at each start.
std::size_t FindByStepping(std::string_view text, std::string_view marker, std::size_t from) {
  if (from > text.size()) return npos;
  for (std::size_t pos = from; pos <= text.size(); pos += CharLength(text, pos)) {
    if (text.substr(pos).starts_with(marker)) return pos;
    if (pos == text.size()) break;
  }
  return npos;
}

TEST(FindAligned, Table) {
  struct Case {
    std::string text, marker;
    std::size_t from, expected;
  };
  const Case cases[] = {
      {"xIP=10.1.2.3;y", "IP=", 0, 1},
      {"abc", "", 0, 0},
      {"abc", "", 3, 3},
      {"abc", "", 4, npos},
      {"", "", 0, 0},
      {"abc", "c", 3, npos},
      {"\x83\x41\x42", "\x41", 0, npos},        // 0x41 only as a second byte
      {"\x83\x41\x41", "\x41", 0, 2},           // the one behind the pair counts
      {"\x82\xA0\x82\xA0", "\xA0\x82", 0, npos},// straddles two characters from a second byte
      {"\x82\xA0\x82\xA0", "\xA0", 1, 1},       // the byte at `from` always starts a character
      {"\x82\x82\x82\x41", "\x82\x41", 0, 2},   // pairs 8282 8241: the second pair matches
      {"\x82\x82\x82\x41", "\x82\x41", 1, npos},// from 1: pair 8282, then 41 alone
      {"a\x81", "\x81", 0, 1},                  // a lead byte that ends the text
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindAligned(c.text, c.marker, c.from), c.expected)
        << "text " << testing::PrintToString(c.text) << " marker "
        << testing::PrintToString(c.marker) << " from " << c.from;
  }
}

TEST(FindAligned, AgreesWithCharacterSteppingOnRandomText) {
  // A small alphabet of lead bytes, second bytes that are also lead bytes, and plain bytes
  // makes misaligned occurrences common.
  const char alphabet[] = {'\x82', '\x41', '\xA0', '.', '\xE0'};
  std::mt19937 rng(2024);
  auto randomText = [&](std::size_t maxLen) {
    std::string s(rng() % (maxLen + 1), ' ');
    for (char& c : s) c = alphabet[rng() % sizeof alphabet];
    return s;
  };
  for (int i = 0; i < 20000; ++i) {
    const std::string text = randomText(40);
    const std::string marker = randomText(4);
    const std::size_t from = rng() % (text.size() + 2);
    ASSERT_EQ(FindAligned(text, marker, from), FindByStepping(text, marker, from))
        << testing::PrintToString(text) << " / " << testing::PrintToString(marker) << " @"
        << from;
  }
}

TEST(FindAligned, DenseMisalignedOccurrencesStillFindTheRealOne) {
  // Every odd position holds the marker on a second byte; only the tail holds it aligned. This
  // is the input that drives the search onto its linear fallback.
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "\x82\x41";
  std::string marker;
  for (int i = 0; i < 300; ++i) marker += "\x41\x82";
  const std::string tail = "!" + marker;
  text += tail;
  EXPECT_EQ(FindAligned(text, marker), text.size() - marker.size());
  EXPECT_EQ(FindByStepping(text, marker, 0), text.size() - marker.size());
}

}  // namespace
}  // namespace zepa2
