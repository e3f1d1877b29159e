#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/source/address_extract.h"
#include "core/text/cp932.h"

namespace zepa2 {
namespace {

TEST(ExtractBetween, Table) {
  struct Case {
    std::string start, end, text;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"IP=", ";", "xIP=10.1.2.3;y", "10.1.2.3"},
      {"IP=", ";", "x10.1.2.3;y", std::nullopt},               // no start marker
      {"IP=", ";", "a;IP=10.1.2.3", std::nullopt},             // end marker only before it
      {"I;=", ";", "I;=1", std::nullopt},                      // end marker only inside it
      {"IP:", ":", "IP:1.2.3.4:80", "1.2.3.4"},                // the start marker's colon is not taken
      {"<", ">", "<a<b>", "a<b"},                              // only the first start counts
      {"", "", "", ""},
      {"", "", "anything", ""},
      {"", ";", "ab;c", "ab"},
      {"a", "", "xab", ""},                                    // empty end marker: right behind
      {"\x41", ";", "\x83\x41" "1;", std::nullopt},            // start only as a second byte
      {"\x83", ";", "\x83\x41;", "\x41"},                    // the end search starts on the 2nd byte
  };
  for (const auto& c : cases) {
    const auto got = ExtractBetween(c.start, c.end, c.text);
    EXPECT_EQ(got ? std::optional<std::string>(*got) : std::nullopt, c.expected)
        << testing::PrintToString(c.start) << " " << testing::PrintToString(c.end) << " in "
        << testing::PrintToString(c.text);
  }
}

TEST(ExtractAddress, OutcomesOfBothPairs) {
  const std::string page =
      Cp932("<tr><td>WAN側IPアドレス</td><td>10.0.0.1</td></tr><tr><td>ＤＮＳ</td></tr>");
  const std::string f1 = Cp932("WAN側IPアドレス"), f2 = "</tr>", f3 = "<td>", f4 = "</td>";

  const auto found = ExtractAddress(page, f1, f2, f3, f4);
  EXPECT_EQ(found.outcome, AddressOutcome::AddressFound);
  EXPECT_EQ(found.address, "10.0.0.1");

  EXPECT_EQ(ExtractAddress(page, Cp932("LAN側"), f2, f3, f4).outcome,
            AddressOutcome::FirstPairMissing);
  EXPECT_EQ(ExtractAddress(page, f1, "<hr>", f3, f4).outcome, AddressOutcome::FirstPairMissing);
  // The second pair searches only the region: "<th>" exists nowhere, "ＤＮＳ" only outside.
  EXPECT_EQ(ExtractAddress(page, f1, f2, "<th>", f4).outcome, AddressOutcome::SecondPairMissing);
  EXPECT_EQ(ExtractAddress(page, f1, f2, Cp932("ＤＮＳ"), f4).outcome,
            AddressOutcome::SecondPairMissing);

  const auto empty = ExtractAddress(page, "", "", "", "");
  EXPECT_EQ(empty.outcome, AddressOutcome::AddressFound);
  EXPECT_EQ(empty.address, "");
  EXPECT_EQ(ExtractAddress("", "", "", "", "").outcome, AddressOutcome::AddressFound);
}

TEST(ExtractAddress, KeepsTheCutUntrimmed) {
  const auto got = ExtractAddress("a[ 10.0.0.1 x]b", "[", "]", "", "x");
  EXPECT_EQ(got.address, " 10.0.0.1 ");
}

}  // namespace
}  // namespace zepa2
