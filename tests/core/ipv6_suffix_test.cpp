#include <gtest/gtest.h>

#include "core/net/ipv6_suffix.h"
#include "core/text/messages.h"

namespace zepa2 {
namespace {

TEST(Ipv6Suffix, PrefixOfThisMachineWithTheOthersIdentifier) {
  const struct {
    const char* suffix;
    const char* address;
    const char* expected;
  } cases[] = {
      {"::1234:5678:9abc:def0", "2a02:6b8:b010:a::5", "2a02:6b8:b010:a:1234:5678:9abc:def0"},
      {"::50:0:0:0:12/56", "2a02:6b8:b010:a::5", "2a02:6b8:b010:50::12"},
      {"::12/56", "2a02:6b8:b010:aa11::5", "2a02:6b8:b010:aa00::12"},
      {"::12/64", "2a02:6b8:b010:a:211:22ff:fe33:4455", "2a02:6b8:b010:a::12"},
      {"::1/127", "2a02:6b8::4", "2a02:6b8::5"},
      {"::1:0:0:0:0/60", "2a02:6b8:b010:a::5", "2a02:6b8:b010:1::"},  // a length not on a byte
      {"::f:0:0:0:0/60", "2a02:6b8:b010:ab::5", "2a02:6b8:b010:af::"},
      {"::1", "not an address", ""},
  };
  for (const auto& c : cases) {
    const auto suffix = ParseIpv6Suffix(c.suffix);
    ASSERT_TRUE(suffix) << c.suffix;
    EXPECT_EQ(Ipv6WithSuffix(c.address, *suffix), c.expected) << c.suffix << " on " << c.address;
  }
}

TEST(Ipv6Suffix, RefusesWhatNamesNoOtherMachine) {
  const struct {
    const char* suffix;
    const char* problem;
  } cases[] = {
      {"::", msg::kSuffixAllZeros},
      {"::0/56", msg::kSuffixAllZeros},
      {"::1:0:0:0:0", msg::kSuffixTooLong},        // bit 63 is the prefix's at /64
      {"::100:0:0:0:12/56", msg::kSuffixTooLong},  // bit 55 is the prefix's at /56
      {"::8:0:0:0:0/61", msg::kSuffixTooLong},
      {"2a02::12", msg::kSuffixTooLong},
      {"::12/0", msg::kSuffixBadLength},
      {"::12/128", msg::kSuffixBadLength},
      {"::12/", msg::kSuffixBadLength},
      {"::12/6x", msg::kSuffixBadLength},
      {"::12/-1", msg::kSuffixBadLength},
      {"", msg::kSuffixNotIdentifier},
      {"12", msg::kSuffixNotIdentifier},
      {"::12 ", msg::kSuffixNotIdentifier},
      {"1:2:3:4:5:6:7:8:9", msg::kSuffixNotIdentifier},
      {"0.0.0.18", msg::kSuffixNotIdentifier},
  };
  for (const auto& c : cases) {
    const char* problem = nullptr;
    EXPECT_FALSE(ParseIpv6Suffix(c.suffix, &problem)) << c.suffix;
    EXPECT_STREQ(problem, c.problem) << c.suffix;
  }
  const auto parsed = ParseIpv6Suffix("::7:0:0:0:0/61");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->prefixLength, 61);
  EXPECT_EQ(ParseIpv6Suffix("::12")->prefixLength, kDefaultSuffixPrefixLength);
}

TEST(Ipv6Suffix, PrefixTextKeepsTheNetworkBits) {
  EXPECT_EQ(Ipv6PrefixText("2001:db8:1:2:211:22ff:fe33:4455", 64), "2001:db8:1:2::/64");
  EXPECT_EQ(Ipv6PrefixText("2a02:6b8:b010:aa11::5", 56), "2a02:6b8:b010:aa00::/56");
  EXPECT_EQ(Ipv6PrefixText("2a02:6b8:b010:aa11::5", 60), "2a02:6b8:b010:aa10::/60");
  EXPECT_EQ(Ipv6PrefixText("2a02:6b8::5", 128), "2a02:6b8::5/128");
  EXPECT_EQ(Ipv6PrefixText("2a02:6b8::5", 129), "");
  EXPECT_EQ(Ipv6PrefixText("", 64), "");
}

}  // namespace
}  // namespace zepa2
