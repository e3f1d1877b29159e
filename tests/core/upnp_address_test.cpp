#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "core/source/upnp_address.h"
#include "core/source/router_fetch.h"
#include "support/fixture_process.h"

namespace zepa2 {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;

TEST(SsdpDiscovery, SearchRequestAsksForInternetGateways) {
  const std::string request = SsdpSearchRequest(2s);
  EXPECT_TRUE(request.starts_with("M-SEARCH * HTTP/1.1\r\n"));
  EXPECT_THAT(request, HasSubstr("\r\nHOST: 239.255.255.250:1900\r\n"));
  EXPECT_THAT(request, HasSubstr("\r\nMAN: \"ssdp:discover\"\r\n"));
  EXPECT_THAT(request, HasSubstr("\r\nMX: 2\r\n"));
  EXPECT_THAT(request, HasSubstr("\r\nST: urn:schemas-upnp-org:device:InternetGatewayDevice:1\r\n"));
  EXPECT_TRUE(request.ends_with("\r\n\r\n"));
  EXPECT_THAT(SsdpSearchRequest(0s), HasSubstr("\r\nMX: 1\r\n"));  // the protocol's least wait
}

TEST(SsdpDiscovery, AnswerGivesTheGatewayDescription) {
  struct Case {
    const char* name;
    std::string datagram;
    std::optional<std::string> location;
  };
  const std::string ok = "HTTP/1.1 200 OK\r\nCACHE-CONTROL: max-age=120\r\n";
  const Case cases[] = {
      {"gateway device", ok + "ST: urn:schemas-upnp-org:device:InternetGatewayDevice:1\r\n"
                              "LOCATION: http://192.168.0.1:5000/rootDesc.xml\r\nUSN: uuid:x\r\n\r\n",
       "http://192.168.0.1:5000/rootDesc.xml"},
      {"header names in any case, white space around the value",
       ok + "st: urn:schemas-upnp-org:service:WANIPConnection:2\r\nLocation:   http://10.0.0.1/igd.xml  \r\n\r\n",
       "http://10.0.0.1/igd.xml"},
      {"PPP service, bare LF line ends",
       "HTTP/1.1 200 OK\nST: urn:schemas-upnp-org:service:WANPPPConnection:1\nLOCATION: http://10.0.0.1/d.xml\n\n",
       "http://10.0.0.1/d.xml"},
      {"another kind of device", ok + "ST: urn:schemas-upnp-org:device:MediaServer:1\r\nLOCATION: http://10.0.0.5/d.xml\r\n\r\n",
       std::nullopt},
      {"no location", ok + "ST: urn:schemas-upnp-org:device:InternetGatewayDevice:1\r\n\r\n", std::nullopt},
      {"empty location", ok + "ST: urn:schemas-upnp-org:device:InternetGatewayDevice:1\r\nLOCATION:\r\n\r\n",
       std::nullopt},
      {"another client's search",
       "M-SEARCH * HTTP/1.1\r\nST: urn:schemas-upnp-org:device:InternetGatewayDevice:1\r\nLOCATION: http://x/\r\n\r\n",
       std::nullopt},
      {"an error answer", "HTTP/1.1 404 Not Found\r\nST: urn:schemas-upnp-org:device:InternetGatewayDevice:1\r\n"
                          "LOCATION: http://10.0.0.1/d.xml\r\n\r\n",
       std::nullopt},
      {"a header whose name only starts like LOCATION",
       ok + "ST: urn:schemas-upnp-org:device:InternetGatewayDevice:1\r\nLOCATIONX: http://10.0.0.1/d.xml\r\n\r\n",
       std::nullopt},
      {"empty datagram", "", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(SsdpAnswerLocation(c.datagram), c.location) << c.name;
}

class UpnpRouter : public testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = std::make_unique<test::FixtureProcess>("igd_server.py"); }
  static void TearDownTestSuite() { server_.reset(); }

  static std::string Url(const std::string& path) { return "http://" + server_->hostPort() + "/" + path; }
  static std::string CallLog() { return GetRouterPage(server_->hostPort(), "log", std::nullopt).body; }

  static std::unique_ptr<test::FixtureProcess> server_;
};
std::unique_ptr<test::FixtureProcess> UpnpRouter::server_;

TEST_F(UpnpRouter, AsksTheConnectionServiceOfTheDescription) {
  GatewayAnswer answer = AskUpnpExternalAddress(Url("ip/rootDesc.xml"));
  EXPECT_EQ(answer.address, "203.0.113.45");
  EXPECT_EQ(answer.reason, "");
  // The control URL is relative in the description and the action is named as the service asks.
  EXPECT_THAT(CallLog(), HasSubstr("/ip/ctl \"urn:schemas-upnp-org:service:WANIPConnection:1#GetExternalIPAddress\""));

  answer = AskUpnpExternalAddress(Url("ppp/198.51.100.9/rootDesc.xml"));
  EXPECT_EQ(answer.address, "198.51.100.9");
  EXPECT_THAT(CallLog(), HasSubstr("WANPPPConnection:1#GetExternalIPAddress"));
}

TEST_F(UpnpRouter, RefusalsAndMissingAnswersGiveTheReason) {
  struct Case {
    std::string url;
    const char* reason;
  };
  const Case cases[] = {
      {Url("fault/rootDesc.xml"), "UPnP: the router refused GetExternalIPAddress (501 Action Failed)"},
      {Url("empty/rootDesc.xml"), "UPnP: the router has no external address"},
      {Url("none/rootDesc.xml"), "UPnP: the router describes no WAN IP or PPP connection service"},
      {Url("missing.xml"), "UPnP: the description answered HTTP 404"},
      {"ftp://127.0.0.1/rootDesc.xml", "UPnP: the description URL is not an http:// URL"},
  };
  for (const Case& c : cases) {
    const GatewayAnswer answer = AskUpnpExternalAddress(c.url);
    EXPECT_EQ(answer.address, "") << c.url;
    EXPECT_EQ(answer.reason, c.reason) << c.url;
  }
}

TEST_F(UpnpRouter, SlowAnswerEndsAtTheAnswerTimeOutOrAStop) {
  const GatewayAnswer late = AskUpnpExternalAddress(Url("slow/rootDesc.xml"), {.answerTimeout = 300ms});
  EXPECT_EQ(late.address, "");
  EXPECT_THAT(late.reason, HasSubstr("UPnP: GetExternalIPAddress ("));

  StopToken stop;
  std::thread stopper([&] {
    std::this_thread::sleep_for(200ms);
    stop.RequestStop();
  });
  const GatewayAnswer stopped = AskUpnpExternalAddress(Url("slow/rootDesc.xml"), {.stop = &stop});
  stopper.join();
  EXPECT_EQ(stopped.address, "");
  EXPECT_THAT(stopped.reason, HasSubstr("UPnP: GetExternalIPAddress ("));
}

}  // namespace
}  // namespace zepa2
