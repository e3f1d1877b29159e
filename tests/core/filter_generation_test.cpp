#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "core/source/address_extract.h"
#include "core/source/filter_generation.h"
#include "core/text/cp932.h"

namespace zepa2 {
namespace {

// 120 bytes of distinct ASCII filler, the two-byte characters あ at 38–39 and い at 96–97, and
// the picked address at 60–70.
std::string ExamplePage() {
  std::string page;
  for (int i = 0; i < 120; ++i) page += static_cast<char>(0x21 + i % 94);
  page.replace(38, 2, "\x82\xA0");
  page.replace(96, 2, "\x82\xA2");
  page.replace(60, 11, "192.168.0.1");
  return page;
}

const std::string kPicked = "192.168.0.1";

TEST(GenerateFilters, CutsTheMarkersAroundTheAddressAndItsNearestNonAsciiBytes) {
  const std::string page = ExamplePage();
  const auto got = GenerateFilters(page, kPicked);
  ASSERT_TRUE(got);
  EXPECT_EQ(got->filter1, page.substr(29, 10));  // ends with the lead byte of あ
  EXPECT_EQ(got->filter2, page.substr(96, 10));
  EXPECT_EQ(got->filter3, page.substr(50, 10));
  EXPECT_EQ(got->filter4, page.substr(71, 10));
  EXPECT_EQ(got->filter1.back(), '\x82');

  const auto again = ExtractAddress(page, got->filter1, got->filter2, got->filter3, got->filter4);
  EXPECT_EQ(again.address, kPicked);
}

TEST(GenerateFilters, NonAsciiFirstByteOfTheInnerStartAnchorsTheOuterStart) {
  std::string page = ExamplePage();
  page[50] = '\xB1';  // a half-width katakana byte
  const auto got = GenerateFilters(page, kPicked);
  ASSERT_TRUE(got);
  EXPECT_EQ(got->filter1, page.substr(40, 10));
  EXPECT_EQ(got->filter3, page.substr(50, 10));
}

TEST(GenerateFilters, FailsWithoutUsableAnchors) {
  struct Case {
    const char* what;
    std::function<void(std::string& page, std::string& picked)> change;
  };
  const Case cases[] = {
      {"address not in the page", [](std::string&, std::string& a) { a = "10.0.0.1"; }},
      {"fewer than 10 bytes before it",
       [](std::string& p, std::string& a) { p.replace(9, 11, kPicked); a = kPicked; }},
      {"ten spaces before it", [](std::string& p, std::string&) { p.replace(50, 10, "    \t\r\n   "); }},
      {"ten line ends after it", [](std::string& p, std::string&) { p.replace(71, 10, "\r\n\r\n\r\n\r\n\r\n"); }},
      {"exactly ten bytes after it", [](std::string& p, std::string&) { p.resize(81); }},
      {"ASCII only", [](std::string& p, std::string&) { p[38] = p[39] = p[96] = p[97] = 'x'; }},
      {"non-ASCII before it only at byte 0",
       [](std::string& p, std::string&) { p[38] = p[39] = 'x'; p[0] = '\x82'; }},
      {"non-ASCII before it closer than 10 bytes to the start",
       [](std::string& p, std::string&) { p[38] = p[39] = 'x'; p.replace(8, 2, "\x82\xA0"); }},
      {"address right at byte 10",
       [](std::string& p, std::string&) { p.replace(10, 11, kPicked); p.replace(0, 2, "\x82\xA0"); }},
      {"non-ASCII after it only inside the inner end",
       [](std::string& p, std::string&) { p[96] = p[97] = 'x'; p.replace(75, 2, "\x82\xA2"); }},
      {"non-ASCII after it fewer than 10 bytes from the end",
       [](std::string& p, std::string&) { p[96] = p[97] = 'x'; p.replace(112, 2, "\x82\xA2"); }},
  };
  for (const auto& c : cases) {
    std::string page = ExamplePage();
    std::string picked = kPicked;
    c.change(page, picked);
    EXPECT_EQ(GenerateFilters(page, picked), std::nullopt) << c.what;
  }
}

TEST(GenerateFilters, RejectsMarkersThatLeadToAnotherText) {
  // The inner start also precedes an earlier value in the same region: the check cycle would
  // cut out more than the address, so the markers are refused.
  const std::string twoRows = Cp932(
      "<html><body>状態表示<table><tr><td>addr:</td><td>0.0.0.0</td><td>addr:</td><td>"
      "1.2.3.4</td></tr></table>終わりです</body></html>");
  EXPECT_EQ(GenerateFilters(twoRows, "1.2.3.4"), std::nullopt);

  // An address first found inside a longer number gets markers for that place, which lead back to
  // it; the second, separate occurrence is never used.
  const std::string twice = Cp932(
      "<html><body>状態表示<p>port 192.168.0.10 open</p><p>WAN 192.168.0.1 up</p>終わりです</body>");
  const auto got = GenerateFilters(twice, "192.168.0.1");
  ASSERT_TRUE(got);
  EXPECT_EQ(got->filter4, "0 open</p>");
}

TEST(GenerateFilters, MarkersOnARouterPageEndInsideCharacters) {
  const std::string page = Cp932(
      "<html><head><title>ルータの状態</title></head><body>\n<table><tr><td>WANアドレスは</td>"
      "<td>198.51.100.7</td><td>(up)</td><td>接続中 です</td></tr></table></body></html>\n");
  const auto got = GenerateFilters(page, "198.51.100.7");
  ASSERT_TRUE(got);
  EXPECT_EQ(got->filter1, Cp932("Nアドレスは").substr(0, 10));  // the lead byte of は, alone
  EXPECT_EQ(got->filter2, Cp932("接続中 です").substr(0, 10));  // the lead byte of す, alone
  EXPECT_EQ(got->filter3, Cp932("は</td><td>").substr(1));      // starts on the trail byte of は
  EXPECT_EQ(got->filter4, "</td><td>(");
  const auto again = ExtractAddress(page, got->filter1, got->filter2, got->filter3, got->filter4);
  EXPECT_EQ(again.outcome, AddressOutcome::AddressFound);
  EXPECT_EQ(again.address, "198.51.100.7");

  // An anchor that only begins on a second byte cannot be found again, so it is refused.
  const std::string misaligned = Cp932(
      "<html><body>状態表示<td>IPアドレス</td><td>198.51.100.7</td><td>接続中</td></body>");
  EXPECT_EQ(GenerateFilters(misaligned, "198.51.100.7"), std::nullopt);
}

}  // namespace
}  // namespace zepa2
