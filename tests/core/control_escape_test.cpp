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
      {"ホームページ \\ back", "ホームページ \\ back"},  // UTF-8 and other bytes pass
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(EscapeControlBytes(text), shown) << shown;
}

}  // namespace
}  // namespace zepa2
