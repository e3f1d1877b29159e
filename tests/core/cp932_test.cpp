#include <gtest/gtest.h>

#include "core/text/cp932.h"

namespace zepa2 {
namespace {

TEST(Cp932, ConvertsJapaneseBothWays) {
  const std::string utf8 = "正常起動しました";
  const std::string sjis = Utf8ToCp932(utf8);
  EXPECT_EQ(sjis, "\x90\xB3\x8F\xED\x8B\x4E\x93\xAE\x82\xB5\x82\xDC\x82\xB5\x82\xBD");
  EXPECT_EQ(Cp932ToUtf8(sjis), utf8);
}

TEST(Cp932, DisplayKeepsUndecodableBytesVisible) {
  EXPECT_EQ(Cp932ToUtf8("a\x81"), "a\xEF\xBF\xBD");
  EXPECT_EQ(Cp932ToUtf8(std::string("a\xA0" "b", 3)), "a\xEF\xBF\xBD" "b");
}

TEST(Cp932, RoundTripTable) {
  struct Case { std::string bytes; bool roundTrips; };
  const Case cases[] = {
      {"plain ascii", true},
      {"\x83\x65\x83\x58\x83\x67", true},      // テスト
      {"\x83\x65\x83", false},                 // ends in half a character
      {"\xA0", false},                         // no character at all
      {"\x87\x90", false},                     // NEC ≒, which CP932 also has at 0x81E0
      {"\xB1\xB2", true},                      // half-width katakana
  };
  for (const auto& c : cases) EXPECT_EQ(RoundTripsThroughUtf8(c.bytes), c.roundTrips) << c.bytes;
}

TEST(Cp932, ExactConversionRefusesWhatCp932CannotHold) {
  struct Case { std::string utf8; std::optional<std::string> cp932; };
  const Case cases[] = {
      {"index.html", "index.html"},
      {"写真一覧.html", "\x8E\xCA\x90\x5E\x88\xEA\x97\x97.html"},
      {"한국어", std::nullopt},          // no Hangul in CP932
      {"\xE3\x80\x9C", std::nullopt},  // U+301C would come back as U+FF5E
      {"\xFF", std::nullopt},            // not UTF-8 at all
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToCp932Exactly(c.utf8), c.cp932) << c.utf8;
}

TEST(Cp932, CharLengthStepsTwoOnLeadBytes) {
  EXPECT_EQ(CharLength("\x82\xA0x", 0), 2u);
  EXPECT_EQ(CharLength("\x82\xA0x", 2), 1u);
  EXPECT_EQ(CharLength("\x82", 0), 1u);
}

}  // namespace
}  // namespace zepa2
