#include <gtest/gtest.h>

#include "core/settings/settings_value_text.h"

namespace zepa2 {
namespace {

TEST(SettingsValueText, EscapesOnlyWhatWouldNotSurvive) {
  struct Case { std::string bytes; std::string written; };
  const Case cases[] = {
      {"plain=text;#[x]", "plain=text;#[x]"},
      {"C:\\pages\\a.htm", "C:\\\\pages\\\\a.htm"},
      {std::string("a\x1F" "b\x7F" "c\x00", 6), "a\\x1Fb\\x7Fc\\x00"},
      {"\t<td>", "\\x09<td>"},
      {" mid space ", "\\x20mid space\\x20"},
      {" ", "\\x20"},
      {"IP\x83", "IP\\x83"},                                    // ends in half a two-byte char
      {"\x87\x90", "\\x87\\x90"},                               // NEC ≒, which also sits at 0x81E0
      {"\xFA\x4A", "\\xFA\\x4A"},                               // IBM copy of NEC 0x8754 (Roman one)
      {"\xED\x40", "\\xED\\x40"},                               // NEC copy of IBM 0xFA5C
      {"\x83\x5C\x83\x74\x83\x67", "ソフト"},                   // trail byte 0x5C is not a backslash
      {"\x83\x65\x83\x58\x83\x67 \xB1", "テスト ｱ"},
      {"\x80\xA0\xFD", "\\x80\\xA0\\xFD"},                      // single bytes with no character
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EscapeSettingsText(c.bytes), c.written) << c.written;
    EXPECT_EQ(UnescapeSettingsText(c.written), c.bytes) << c.written;
  }
}

TEST(SettingsValueText, EveryByteComesBack) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  for (int b = 255; b >= 0; --b) all += static_cast<char>(b);
  EXPECT_EQ(UnescapeSettingsText(EscapeSettingsText(all)), all);
}

TEST(SettingsValueText, ReadsHandWrittenForms) {
  EXPECT_EQ(UnescapeSettingsText("\\x5c\\x5C\\xfa\\x4a"), "\\\\\xFA\x4A");
  EXPECT_EQ(UnescapeSettingsText("\xE3\x81\x82\t"), "\x82\xA0\t");  // a literal tab is accepted
  EXPECT_EQ(UnescapeSettingsText(""), "");
}

TEST(SettingsValueText, RefusesWhatItCannotRead) {
  const char* bad[] = {"\\q", "ab\\", "\\x4", "\\xZZ", "\\X41", "\xC3(", "\xFF", "\xF0\x9F\x98\x80"};
  for (const char* text : bad) EXPECT_EQ(UnescapeSettingsText(text), std::nullopt) << text;
}

TEST(SettingsValueText, IntegersAreDecimalWithinIntRange) {
  EXPECT_EQ(FormatSettingsInt(-2147483647 - 1), "-2147483648");
  EXPECT_EQ(FormatSettingsInt(30), "30");
  struct Case { const char* text; std::optional<int> value; };
  const Case cases[] = {
      {"30", 30}, {"-5", -5}, {"007", 7}, {"2147483647", 2147483647},
      {"2147483648", std::nullopt}, {"-2147483649", std::nullopt}, {"abc", std::nullopt},
      {"", std::nullopt}, {" 1", std::nullopt}, {"1 ", std::nullopt}, {"+1", std::nullopt},
      {"1x", std::nullopt}, {"0x10", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseSettingsInt(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace zepa2
