#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/check/check_session.h"
#include "support/stateful_check.h"
#include "core/text/cp932.h"
#include "core/source/router_fetch.h"
#include "support/fixture_process.h"
#include "support/free_port.h"
#include "support/recording_check_host.h"
#include "support/recording_publisher.h"
#include "support/temp_dir.h"

namespace zepa2 {
namespace {

using test::LoggedLine;
using Lines = std::vector<LoggedLine>;
namespace color = log_color;

const LoggedLine kUpnpStart{"UPnPでルータに問い合わせ開始", color::kBlack};
const LoggedLine kUpnpFound{"UPnPでIPアドレス取得成功", color::kGreen};
const LoggedLine kUnchanged{"アドレスが変更されてないため、更新しません。", color::kViolet};

LoggedLine Note(const std::string& reason) {
  return {"注意：このアドレスは公開アドレスではありません（" + reason + "）。外から届かない可能性があります。",
          color::kViolet};
}

// The other ways to the address than the router page's markers, and what comes with any address.
class AddressSources : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    igd_ = std::make_unique<test::FixtureProcess>("igd_server.py");
    router_ = std::make_unique<test::FixtureProcess>("router_server.py");
  }
  static void TearDownTestSuite() {
    igd_.reset();
    router_.reset();
  }

  Lines Run(bool force, CheckReport* report = nullptr) {
    const std::size_t before = host_.lines.size();
    const CheckReport got = check_.RunAddressCheck(force);
    if (report) *report = got;
    EXPECT_EQ(host_.busyDepth, 0);
    return Lines(host_.lines.begin() + static_cast<long>(before), host_.lines.end());
  }
  void UseUpnp(const std::string& path) {
    settings_.addressSource = AddressSource::Upnp;
    settings_.igdUrl = "http://" + igd_->hostPort() + "/" + path;
  }
  // The SOAP calls the IGD fixture has seen, one line each.
  static std::string CallLog() { return GetRouterPage(igd_->hostPort(), "log", std::nullopt).body; }
  void UseTextPage(const std::string& escapedBody) {
    settings_.routerServer = router_->hostPort();
    settings_.routerPage = "text/" + escapedBody;
    settings_.wholePage = 1;
    settings_.filter1 = "never on the page";
  }
  Lines TextPageLines() const {
    const std::string s = settings_.routerServer;
    return {{s + "サーバ接続開始", color::kBlack},
            {s + ":サーバ接続成功", color::kGreen},
            {s + ":サーバを切断", color::kBlack},
            {"IPアドレス検索開始", color::kViolet}};
  }

  static std::unique_ptr<test::FixtureProcess> igd_;
  static std::unique_ptr<test::FixtureProcess> router_;
  AppSettings settings_;
  test::RecordingCheckHost host_;
  test::RecordingPublisher publisher_;
  std::optional<std::string> localAddress_;
  std::string ipv6_;
  test::StatefulCheck check_{settings_, host_, publisher_,
                      CheckSessionOptions{.localAddress = [this] { return localAddress_; },
                                          .ipv6Address = [this] { return Ipv6Choice{ipv6_, 64}; }}};
};
std::unique_ptr<test::FixtureProcess> AddressSources::igd_;
std::unique_ptr<test::FixtureProcess> AddressSources::router_;

TEST_F(AddressSources, UpnpAddressIsComparedAndPublishedLikeTheRouterPage) {
  UseUpnp("ip/rootDesc.xml");
  CheckReport report;
  EXPECT_EQ(Run(false, &report), (Lines{kUpnpStart, kUpnpFound}));
  EXPECT_EQ(report.outcome, CheckOutcome::Published);
  EXPECT_EQ(report.nonPublic, NonPublicReason::None);
  EXPECT_EQ(publisher_.published, std::vector<std::string>{"203.0.113.45"});
  EXPECT_EQ(Run(false), (Lines{kUpnpStart, kUpnpFound, kUnchanged}));

  settings_.decimalAddress = 1;
  EXPECT_EQ(Run(false), (Lines{kUpnpStart, kUpnpFound,
                               {"アドレス変換(203.0.113.45->3405803821)", color::kGreen}}));
  EXPECT_EQ(publisher_.published.back(), "3405803821");
}

TEST_F(AddressSources, UpnpFailureEndsTheRunWithTheReason) {
  UseUpnp("fault/rootDesc.xml");
  CheckReport report;
  const std::string reason = "UPnP: the router refused GetExternalIPAddress (501 Action Failed)";
  EXPECT_EQ(Run(true, &report), (Lines{kUpnpStart, {"UPnPでIPアドレス取得失敗：" + reason, color::kRed}}));
  EXPECT_EQ(report.outcome, CheckOutcome::AddressNotFound);
  EXPECT_EQ(report.reason, reason);
  EXPECT_TRUE(publisher_.published.empty());
}

// The router's own answer passes the same refusal of markup as a page's text.
const LoggedLine kNotIpv4{"答えがIPv4アドレスではないため、公開しません。", color::kRed};

TEST_F(AddressSources, UnsafeAnswerIsRefusedWhateverTheSource) {
  UseUpnp("ip/198.51.100.1%22/rootDesc.xml");
  CheckReport report;
  EXPECT_EQ(Run(true, &report), (Lines{kUpnpStart, {"UPnPでIPアドレス取得失敗", color::kRed}, kNotIpv4}));
  EXPECT_NE(report.reason.find("198.51.100.1\""), std::string::npos) << report.reason;
  EXPECT_TRUE(publisher_.published.empty());
}

// What a device on the LAN puts in its description decides nothing it should not: a service type
// with line breaks never becomes header lines, and a control URL elsewhere is never called.
TEST_F(AddressSources, HostileDescriptionsAreRefusedBeforeTheCall) {
  const std::string elsewhere = std::to_string(test::UnusedLocalPort());
  for (const std::string& path : {std::string("crlf/rootDesc.xml"), "away/" + elsewhere + "/rootDesc.xml"}) {
    UseUpnp(path);
    CheckReport report;
    Run(true, &report);
    EXPECT_EQ(report.outcome, CheckOutcome::AddressNotFound) << path;
    EXPECT_NE(report.reason.find(path.starts_with("crlf") ? "service type" : "another host or port"),
              std::string::npos) << report.reason;
  }
  EXPECT_EQ(CallLog(), "");  // no SOAP call reached the fixture
  EXPECT_TRUE(publisher_.published.empty());
}

// A machine's answer is an address only when it is an IPv4 literal: markup, a host name, an error
// text that came with status 200 or an address that names no host never reach a page.
TEST_F(AddressSources, WholePageThatIsNoAddressPublishesNothing) {
  const char* bodies[] = {
      "203.0.113.54%20onmouseover%3Dalert(1)%20x", "evil.example.net", "%FF%FE198.51.100.7",
      "0.0.0.0", "255.255.255.255", "Service%20temporarily%20unavailable,%20try%20later",
      "198.51.100.07", "198.51.100", "198.51.100.7.1", "1985.1.100.7", "%20%0D%0A",
  };
  for (const char* body : bodies) {
    UseTextPage(body);
    CheckReport report;
    Lines expected = TextPageLines();
    expected.push_back({"IPアドレス取得失敗", color::kRed});
    expected.push_back(kNotIpv4);
    EXPECT_EQ(Run(true, &report), expected) << body;
    EXPECT_EQ(report.outcome, CheckOutcome::AddressNotFound) << body;
    EXPECT_EQ(report.reason.find('\n'), std::string::npos) << body;
  }
  EXPECT_TRUE(publisher_.published.empty());
}

TEST_F(AddressSources, NonPublicAddressIsPublishedWithANote) {
  struct Case {
    const char* address;
    const char* reason;
    NonPublicReason kind;
  };
  const Case cases[] = {
      {"100.64.3.4", "プロバイダのNATで共有されるアドレス 100.64.0.0/10", NonPublicReason::SharedNat},
      {"192.168.0.10", "プライベートアドレス", NonPublicReason::Private},
      {"169.254.1.1", "リンクローカル 169.254.0.0/16", NonPublicReason::LinkLocal},
  };
  for (const Case& c : cases) {
    UseUpnp(std::string("ip/") + c.address + "/rootDesc.xml");
    CheckReport report;
    EXPECT_EQ(Run(false, &report), (Lines{kUpnpStart, kUpnpFound, Note(c.reason)}));
    EXPECT_EQ(report.nonPublic, c.kind);
    EXPECT_EQ(report.outcome, CheckOutcome::Published);
    EXPECT_EQ(publisher_.published.back(), c.address);
  }
  // The same note after the markers of a router page.
  settings_.addressSource = AddressSource::RouterPage;
  UseTextPage("10.1.2.3");
  EXPECT_EQ(Run(false), [&] {
    Lines lines = TextPageLines();
    lines.push_back({"IPアドレス取得成功", color::kGreen});
    lines.push_back(Note("プライベートアドレス"));
    return lines;
  }());
}

TEST_F(AddressSources, LocalAddressGetsNoNote) {
  settings_.useLocalAddress = 1;
  settings_.addressSource = AddressSource::Upnp;  // the window's local-address box still comes first
  localAddress_ = "192.168.1.20";
  CheckReport report;
  EXPECT_EQ(Run(false, &report), (Lines{{"ローカルアドレス取得", color::kMagenta}}));
  EXPECT_EQ(report.nonPublic, NonPublicReason::None);
  EXPECT_EQ(publisher_.published, std::vector<std::string>{"192.168.1.20"});
}

TEST_F(AddressSources, WholePageIsTheAddressWithoutSurroundingWhiteSpace) {
  struct Case {
    const char* escapedBody;
    const char* address;
  };
  const Case cases[] = {
      {"198.51.100.7", "198.51.100.7"},
      {"198.51.100.8%0D%0A", "198.51.100.8"},
      {"%20%09%0D%0A198.51.100.9%20%0D%0A%0D%0A", "198.51.100.9"},
  };
  for (const Case& c : cases) {
    UseTextPage(c.escapedBody);
    Lines expected = TextPageLines();
    expected.push_back({"IPアドレス取得成功", color::kGreen});
    EXPECT_EQ(Run(false), expected) << c.escapedBody;
    EXPECT_EQ(publisher_.published.back(), c.address);
  }
  // A line break inside is no address either: it is refused as it would be between markers.
  UseTextPage("198.51.100.7%0D%0A198.51.100.8");
  EXPECT_EQ(check_.RunAddressCheck(true).outcome, CheckOutcome::AddressNotFound);
}

// An address echo page over HTTPS with a self-signed certificate: the pin lets the whole page
// through, white space and CR LF trimmed; without the pin nothing is fetched, so nothing published.
TEST_F(AddressSources, WholePageOverHttpsTakesThePinnedServersAddress) {
  test::TempDir certs;
  test::FixtureProcess https("router_server.py", {"--tls=" + certs.path().string()});
  UseTextPage("%20%0D%0A198.51.100.20%0D%0A");
  settings_.routerServer = "https://" + https.hostPort();
  settings_.routerPin = test::ReadFile(certs.path() / "cert.pin");
  CheckReport report;
  Run(false, &report);
  EXPECT_EQ(report.outcome, CheckOutcome::Published) << report.reason;
  EXPECT_EQ(publisher_.published, std::vector<std::string>{"198.51.100.20"});
  EXPECT_EQ(host_.lines.back(), (LoggedLine{"IPアドレス取得成功", color::kGreen}));

  settings_.routerPin.clear();
  EXPECT_EQ(check_.RunAddressCheck(true).outcome, CheckOutcome::AddressNotFound);
  EXPECT_EQ(publisher_.published.size(), 1u);
}

TEST_F(AddressSources, FindAddressNeitherComparesNorPublishes) {
  UseUpnp("ip/rootDesc.xml");
  const CheckReport found = check_.FindAddress();
  EXPECT_EQ(found.outcome, CheckOutcome::Found);
  EXPECT_EQ(found.address, "203.0.113.45");
  EXPECT_TRUE(publisher_.published.empty());
  EXPECT_EQ(check_.lastAddress(), "");
}

TEST_F(AddressSources, Ipv6IsLookedUpOnlyForPagesThatCarryIt) {
  UseUpnp("ip/rootDesc.xml");
  ipv6_ = "2001:db8::1";
  CheckReport report;
  EXPECT_EQ(Run(false, &report), (Lines{kUpnpStart, kUpnpFound}));
  EXPECT_EQ(report.ipv6Address, "");
  EXPECT_TRUE(publisher_.publishedIpv6.back().empty());

  ipv6_ = "2001:db8::2";  // without the token a new IPv6 address publishes nothing
  EXPECT_EQ(Run(false), (Lines{kUpnpStart, kUpnpFound, kUnchanged}));
}

TEST_F(AddressSources, Ipv6ChangeAloneIsPublished) {
  UseUpnp("ip/rootDesc.xml");
  publisher_.usesIpv6 = true;
  ipv6_ = "2001:db8::1";
  const LoggedLine first{"IPv6アドレス(2001:db8::1)", color::kGreen};
  CheckReport report;
  EXPECT_EQ(Run(false, &report), (Lines{kUpnpStart, kUpnpFound, first}));
  EXPECT_EQ(report.address, "203.0.113.45");
  EXPECT_EQ(report.ipv6Address, "2001:db8::1");
  EXPECT_EQ(publisher_.publishedIpv6, std::vector<std::string>{"2001:db8::1"});
  EXPECT_EQ(Run(false), (Lines{kUpnpStart, kUpnpFound, first, kUnchanged}));

  ipv6_ = "2001:db8::2";
  EXPECT_EQ(Run(false, &report), (Lines{kUpnpStart, kUpnpFound, {"IPv6アドレス(2001:db8::2)", color::kGreen}}));
  EXPECT_EQ(report.outcome, CheckOutcome::Published);
  EXPECT_EQ(publisher_.published, (std::vector<std::string>{"203.0.113.45", "203.0.113.45"}));
  EXPECT_EQ(publisher_.publishedIpv6.back(), "2001:db8::2");
  EXPECT_EQ(check_.lastIpv6Address(), "2001:db8::2");

  ipv6_ = "";  // the address went away: the pages lose it too
  EXPECT_EQ(Run(false), (Lines{kUpnpStart, kUpnpFound, {"IPv6アドレスなし（空欄で公開します）", color::kViolet}}));
  EXPECT_EQ(publisher_.publishedIpv6.back(), "");
}

}  // namespace
}  // namespace zepa2
