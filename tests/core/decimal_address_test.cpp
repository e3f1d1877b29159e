#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/source/decimal_address.h"

namespace zepa2 {
namespace {

TEST(ToDecimalAddress, Table) {
  struct Case {
    std::string dotted;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"192.168.0.1", "3232235521"},
      {"0.0.0.0", "0"},
      {"255.255.255.255", "4294967295"},
      {"10.0.0.1", "167772161"},
      {" 10.0.0.1", "167772161"},        // atoi skips leading white space
      {"\t+10.0.0.1", "167772161"},
      {"10.0.0.1abc", "167772161"},      // trailing bytes of a field are ignored
      {"1.2.3.4.5", "16909060"},         // a fifth field is ignored
      {"a.b.c.d", "0"},                  // fields without digits read as 0
      {"256.1.1.1", "65793"},            // "100" "01" "01" "01": only the low 32 bits stay
      {"-1.0.0.0", "4278190080"},        // FFFFFFFF then 000000, low 32 bits FF000000
      {"1.2.3.-1", "4294967295"},
      {"99999999999.0.0.0", "4278190080"},  // saturates at 7FFFFFFF; FF000000 stays
      {"1.2.3", std::nullopt},
      {"1..2.3", std::nullopt},
      {"1.2.3.", std::nullopt},
      {".1.2.3", std::nullopt},
      {"", std::nullopt},
      {"10.0.0.1\x83.", "167772161"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToDecimalAddress(c.dotted), c.expected) << testing::PrintToString(c.dotted);
  }
}

}  // namespace
}  // namespace zepa2
