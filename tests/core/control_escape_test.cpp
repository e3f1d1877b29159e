#include "core/log/control_escape.h"

#include <gtest/gtest.h>

namespace zepa2 {
namespace {

TEST(EscapeControlBytes, ControlBytesBecomeTextOthersStay) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain 10.0.0.1", "plain 10.0.0.1"},
      {"\x1b[2Jcleared", "\\x1b[2Jcleared"},
      {"one\nerror forged line\r", "one\\x0aerror forged line\\x0d"},
      {std::string("nul\0end", 7), "nul\\x00end"},
      {"tab\tdel\x7f", "tab\\x09del\\x7f"},
      {"ホームページ \\ back", "ホームページ \\ back"},  // well-formed UTF-8 passes
      // Bytes that are no UTF-8: a stray lead or trail byte, a cut sequence, overlong forms,
      // surrogates and code points above U+10FFFF.
      {"\xff\xfe\x80" "203.0.113.53", "\\xff\\xfe\\x80203.0.113.53"},
      {"cut \xe3\x83", "cut \\xe3\\x83"},
      {"\xc0\xaf \xe0\x80\xaf", "\\xc0\\xaf \\xe0\\x80\\xaf"},
      {"\xed\xa0\x80 \xf4\x90\x80\x80", "\\xed\\xa0\\x80 \\xf4\\x90\\x80\\x80"},
      {"\xf0\x9f\x98\x80 \xc2\xa9", "\xf0\x9f\x98\x80 \xc2\xa9"},
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(EscapeControlBytes(text), shown) << shown;
}

}  // namespace
}  // namespace zepa2
