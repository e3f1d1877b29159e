#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/source/address_extract.h"
#include "core/source/router_fetch.h"
#include "support/fixture_process.h"
#include "support/free_port.h"
#include "support/recording_check_host.h"

namespace zepa2 {
namespace {

using namespace std::chrono_literals;

class RouterFetch : public testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = std::make_unique<test::FixtureProcess>("router_server.py"); }
  static void TearDownTestSuite() { server_.reset(); }

  RouterPageKind Fetch(const std::string& path, const std::string& user = "",
                       const std::string& pass = "", const net::HttpGetOptions& options = {}) {
    return FetchFrom(server_->hostPort(), path, user, pass, options);
  }
  // As the router dialog takes it: a router that did not answer leaves the page fetched before.
  RouterPageKind FetchFrom(const std::string& server, const std::string& path, const std::string& user = "",
                           const std::string& pass = "", const net::HttpGetOptions& options = {}) {
    RouterPageAnswer answer = FetchRouterPage({server, path, net::HttpCredentials{user, pass}}, host_, options);
    if (answer.kind != RouterPageKind::NoAnswer) output_ = std::move(answer.body);
    return answer.kind;
  }
  std::string ServerLog() {
    return GetRouterPage(server_->hostPort(), "log", std::nullopt).body;
  }

  static std::unique_ptr<test::FixtureProcess> server_;
  test::RecordingCheckHost host_;
  std::string output_ = "earlier page";
};
std::unique_ptr<test::FixtureProcess> RouterFetch::server_;

std::string AddressIn(const std::string& page) {
  return ExtractAddress(page, "<tr>", "</tr>", "</td><td>", "</td>").address;
}

TEST_F(RouterFetch, ResultCodesAndPageText) {
  struct Case {
    std::string path, user, pass;
    RouterPageKind result;
    std::string address;  // what the markers find in the output; "" for an empty output
  };
  const Case cases[] = {
      {"status.htm", "", "", RouterPageKind::Page, "10.0.0.1"},
      {"ip/172.16.5.9/status.htm", "", "", RouterPageKind::Page, "172.16.5.9"},
      {"basic/status.htm", "admin", "secret", RouterPageKind::Page, "10.0.0.1"},
      {"digest/status.htm", "admin", "secret", RouterPageKind::Page, "10.0.0.1"},
      {"basic/status.htm", "", "", RouterPageKind::BadStatus, ""},
      {"digest/status.htm", "admin", "wrong", RouterPageKind::BadStatus, ""},
      {"no/such/page.htm", "", "", RouterPageKind::BadStatus, ""},
      {"empty.htm", "", "", RouterPageKind::Page, ""},
      {"moved.htm", "", "", RouterPageKind::Page, "10.0.0.1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path + " " + c.user + ":" + c.pass);
    output_ = "earlier page";
    EXPECT_EQ(Fetch(c.path, c.user, c.pass), c.result);
    EXPECT_EQ(AddressIn(output_), c.address);
    if (c.address.empty()) {
      EXPECT_EQ(output_, "");
    }
  }
  EXPECT_EQ(host_.busyDepth, 0);
  EXPECT_EQ(host_.busyEntries, std::ssize(cases));
  EXPECT_EQ(host_.pauses, std::vector<std::chrono::milliseconds>(std::size(cases), 1000ms));
}

TEST_F(RouterFetch, SendsAcceptAndNoCredentialsUnasked) {
  ASSERT_EQ(Fetch("ip/9.9.9.9/status.htm", "admin", "secret"), RouterPageKind::Page);
  // A page without a challenge never sees the credentials.
  EXPECT_TRUE(("\n" + ServerLog()).ends_with("\nip/9.9.9.9/status.htm - */*\n"));
}

TEST_F(RouterFetch, LongBodyArrivesWholeAndZeroBytesAreKept) {
  ASSERT_EQ(Fetch("big.htm"), RouterPageKind::Page);
  EXPECT_GT(output_.size(), 3 * 9999u);
  EXPECT_TRUE(output_.starts_with("<html>"));
  EXPECT_TRUE(output_.ends_with("</table></body></html>\n"));
  EXPECT_EQ(AddressIn(output_), "10.0.0.1");

  ASSERT_EQ(Fetch("zero.htm"), RouterPageKind::Page);
  EXPECT_NE(output_.find(std::string("<!-- \0 -->", 10)), std::string::npos);
  EXPECT_EQ(AddressIn(output_), "10.0.0.1");
}

TEST_F(RouterFetch, FailuresBeforeAnAnswerKeepTheEarlierPage) {
  net::HttpGetOptions shortWait;
  shortWait.totalTimeout = 300ms;
  EXPECT_EQ(Fetch("hang.htm", "", "", shortWait), RouterPageKind::NoAnswer);
  EXPECT_EQ(output_, "earlier page");

  const std::string deadServer = "127.0.0.1:" + std::to_string(test::UnusedLocalPort());
  EXPECT_EQ(FetchFrom(deadServer, "status.htm"), RouterPageKind::NoAnswer);
  EXPECT_EQ(output_, "earlier page");
  // Forwarded to a server that does not answer: the forward is no answer of its own.
  EXPECT_EQ(Fetch("away/" + std::to_string(test::UnusedLocalPort())), RouterPageKind::NoAnswer);
  EXPECT_EQ(output_, "earlier page");

  for (const char* bad : {"http://127.0.0.1", "127.0.0.1/x", "", "host name", "127.0.0.1:0"}) {
    EXPECT_EQ(FetchFrom(bad, "status.htm"), RouterPageKind::NoAnswer) << bad;
  }
  EXPECT_EQ(output_, "earlier page");
  EXPECT_TRUE(host_.pauses.empty());  // nobody answered, so there was nothing to wait for
  EXPECT_EQ(host_.busyDepth, 0);
}

TEST_F(RouterFetch, OversizedBodyFailsInsteadOfGrowing) {
  net::HttpGetOptions small;
  small.maxBodyBytes = 1000;
  EXPECT_EQ(Fetch("big.htm", "", "", small), RouterPageKind::BrokenOff);
  EXPECT_LE(output_.size(), 1000u);
}

// The check and the dialog's test send what the settings make of the request: the log-in only when
// it is asked for and the router's page is the source, the pin always.
TEST(RouterRequestOf, SendsTheLogInOnlyWhenTheSettingsAskForIt) {
  AppSettings settings;
  settings.routerServer = "192.168.0.1";
  settings.routerPage = "status.htm";
  settings.routerUser = "admin";
  settings.routerPin = "sha256//pin";
  const struct {
    bool auth;
    AddressSource source;
    bool sent;
  } cases[] = {
      {false, AddressSource::RouterPage, false},
      {true, AddressSource::RouterPage, true},
      {true, AddressSource::Upnp, false},
  };
  for (const auto& c : cases) {
    settings.routerAuth = c.auth;
    settings.addressSource = c.source;
    const RouterRequest request = RouterRequestOf(settings, "secret");
    EXPECT_EQ(request.server, "192.168.0.1");
    EXPECT_EQ(request.path, "status.htm");
    EXPECT_EQ(request.pin, "sha256//pin");
    ASSERT_EQ(request.credentials.has_value(), c.sent) << c.auth;
    if (c.sent) {
      EXPECT_EQ(request.credentials->user, "admin");
      EXPECT_EQ(request.credentials->password, "secret");
    }
  }
}

}  // namespace
}  // namespace zepa2
