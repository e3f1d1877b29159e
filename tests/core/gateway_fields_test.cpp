#include <gtest/gtest.h>

#include "core/settings/gateway_fields.h"

namespace zepa2 {
namespace {

struct GatewayCase {
  AddressSource source;
  const char* igdUrl;
  const char* gateway;
  const char* refusedLabel;  // nullptr: taken
  const char* reasonStart;
};

// Each source answers for its own field only; the other is kept unused, whatever it holds.
TEST(GatewayFields, TheChosenSourcesFieldIsCheckedAsItsSourceWouldParseIt) {
  const GatewayCase cases[] = {
      {AddressSource::Upnp, "", "", nullptr, nullptr},
      {AddressSource::Upnp, "http://192.168.0.1:5000/rootDesc.xml", "junk", nullptr, nullptr},
      {AddressSource::Upnp, "HTTP://router.lan/", "", nullptr, nullptr},
      {AddressSource::Upnp, "https://192.168.0.1/rootDesc.xml", "", "IGDのURL", "「%1」には http://"},
      {AddressSource::Upnp, "192.168.0.1:5000/rootDesc.xml", "", "IGDのURL", "「%1」には http://"},
      {AddressSource::Upnp, "http://:5000/x", "", "IGDのURL", "「%1」には http://"},
      {AddressSource::Upnp, "http://192.168.0.1/x\r\nHost: evil", "", "IGDのURL", "「%1」に改行文字"},
      {AddressSource::NatPmp, "junk", "", nullptr, nullptr},
      {AddressSource::NatPmp, "", "192.168.0.1", nullptr, nullptr},
      {AddressSource::NatPmp, "", "router.lan", "ゲートウェイ", "「%1」にはIPv4アドレス"},
      {AddressSource::NatPmp, "", " 192.168.0.1", "ゲートウェイ", "「%1」にはIPv4アドレス"},
      {AddressSource::NatPmp, "", "192.168.0.256", "ゲートウェイ", "「%1」にはIPv4アドレス"},
      {AddressSource::NatPmp, "", "fe80::1", "ゲートウェイ", "「%1」にはIPv4アドレス"},
      {AddressSource::NatPmp, "", "192.168.0.1\n", "ゲートウェイ", "「%1」に改行文字"},
      {AddressSource::RouterPage, "not a url", "not an address", nullptr, nullptr},
  };
  for (const GatewayCase& c : cases) {
    SCOPED_TRACE(std::string(c.igdUrl) + " | " + c.gateway);
    const auto refused = RefuseGatewayField(c.source, c.igdUrl, c.gateway);
    if (!c.refusedLabel) {
      EXPECT_FALSE(refused);
      continue;
    }
    ASSERT_TRUE(refused);
    EXPECT_STREQ(refused->label, c.refusedLabel);
    EXPECT_EQ(std::string_view(refused->reason).substr(0, std::string_view(c.reasonStart).size()), c.reasonStart);
  }
}

}  // namespace
}  // namespace zepa2
