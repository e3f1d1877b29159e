#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/check/check_session.h"
#include "support/stateful_check.h"
#include "core/source/router_fetch.h"
#include "core/net/protocol_text.h"
#include "core/text/cp932.h"
#include "support/fixture_process.h"
#include "support/free_port.h"
#include "support/recording_check_host.h"
#include "support/recording_publisher.h"
#include "support/temp_dir.h"

namespace zepa2 {
namespace {

using namespace std::chrono_literals;
using test::LoggedLine;
using Lines = std::vector<LoggedLine>;
namespace color = log_color;

class AddressCheckRun : public testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = std::make_unique<test::FixtureProcess>("router_server.py"); }
  static void TearDownTestSuite() { server_.reset(); }

  void SetUp() override {
    settings_.routerServer = server_->hostPort();
    settings_.routerPage = "status.htm";
    settings_.filter1 = Cp932("WAN側IPアドレス");
    settings_.filter2 = "</tr>";
    settings_.filter3 = "<td>";
    settings_.filter4 = "</td>";
  }

  // Runs once and returns the lines this run logged.
  Lines Run(bool force) {
    const std::size_t before = host_.lines.size();
    check_.RunAddressCheck(force);
    EXPECT_EQ(host_.busyDepth, 0);
    return Lines(host_.lines.begin() + static_cast<long>(before), host_.lines.end());
  }

  Lines FetchLines() const {
    const std::string s = Cp932ToUtf8(settings_.routerServer);
    return {{s + "サーバ接続開始", color::kBlack},
            {s + ":サーバ接続成功", color::kGreen},
            {s + ":サーバを切断", color::kBlack}};
  }
  // For text that is no dotted address: no note about its range.
  Lines FoundTextLines() const {
    Lines lines = FetchLines();
    lines.push_back({"IPアドレス検索開始", color::kViolet});
    lines.push_back({"IPアドレス取得成功", color::kGreen});
    return lines;
  }
  // The fixture's router gives private addresses (10.0.0.x), which are noted as such.
  Lines FoundLines() const {
    Lines lines = FoundTextLines();
    lines.push_back({"注意：このアドレスは公開アドレスではありません（プライベートアドレス）。"
                     "外から届かない可能性があります。", color::kViolet});
    return lines;
  }
  static Lines Plus(Lines lines, const std::vector<LoggedLine>& more) {
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
  }
  std::string ServerLog() { return GetRouterPage(server_->hostPort(), "log", std::nullopt).body; }

  static std::unique_ptr<test::FixtureProcess> server_;
  AppSettings settings_;
  test::RecordingCheckHost host_;
  test::RecordingPublisher publisher_;
  std::optional<std::string> localAddress_;
  test::StatefulCheck check_{settings_, host_, publisher_,
                             CheckSessionOptions{.localAddress = [this] { return localAddress_; },
                                                 .addressTaken = [this](const std::string& address) {
                                                   shown_.push_back(address);
                                                   publishedWhenShown_ = publisher_.published.size();
                                                 }}};
  std::vector<std::string> shown_;
  std::size_t publishedWhenShown_ = 99;
};
std::unique_ptr<test::FixtureProcess> AddressCheckRun::server_;

const LoggedLine kUnchanged{"アドレスが変更されてないため、更新しません。", color::kViolet};
const LoggedLine kNotFound{"IPアドレス取得失敗", color::kRed};

TEST_F(AddressCheckRun, PublishesFirstThenOnlyWhenChangedOrForced) {
  EXPECT_EQ(Run(false), FoundLines());
  EXPECT_EQ(publisher_.published, std::vector<std::string>{"10.0.0.1"});
  EXPECT_EQ(check_.lastAddress(), "10.0.0.1");
  EXPECT_EQ(shown_, std::vector<std::string>{"10.0.0.1"});
  EXPECT_EQ(publishedWhenShown_, 0u);  // the window shows the address before publishing starts
  EXPECT_EQ(host_.pauses, std::vector{1000ms});

  EXPECT_EQ(Run(false), Plus(FoundLines(), {kUnchanged}));
  EXPECT_EQ(publisher_.published.size(), 1u);

  EXPECT_EQ(Run(true), FoundLines());
  EXPECT_EQ(publisher_.published, (std::vector<std::string>{"10.0.0.1", "10.0.0.1"}));

  settings_.routerPage = "ip/10.0.0.2/status.htm";
  EXPECT_EQ(Run(false), FoundLines());
  EXPECT_EQ(publisher_.published.back(), "10.0.0.2");
  EXPECT_EQ(shown_.back(), "10.0.0.2");
}

// A site that did not take the address keeps an old page online: each later check serves the
// sites still owed one, and only them, until they take it.
TEST_F(AddressCheckRun, FailedSitesAreServedAgainAtTheNextCheck) {
  using enum SiteResultKind;
  settings_.siteCount = 3;
  publisher_.siteCount = 3;
  publisher_.results = {Done, TimedOut, ConnectFailed};
  const CheckReport first = check_.RunAddressCheck(false);
  EXPECT_EQ(first.outcome, CheckOutcome::PartlyPublished);
  EXPECT_EQ(first.address, "10.0.0.1");
  ASSERT_EQ(first.sites.size(), 3u);
  EXPECT_EQ(first.sites[1].kind, TimedOut);
  EXPECT_EQ(check_.owedSites(), (std::vector<int>{2, 3}));

  // Same address, not forced: no "unchanged" line, the two owed sites are published.
  publisher_.results = {Done, TransferRefused};
  EXPECT_EQ(Run(false), FoundLines());
  EXPECT_EQ(publisher_.requestedSites.back(), (std::vector<int>{2, 3}));
  EXPECT_EQ(check_.owedSites(), std::vector<int>{3});

  // A test run only shows pages: what is owed stays owed.
  EXPECT_EQ(check_.Run({.force = true, .mode = RunMode::ShowPages}).outcome, CheckOutcome::Found);
  EXPECT_EQ(publisher_.showOnly.back(), true);
  EXPECT_EQ(check_.owedSites(), std::vector<int>{3});

  // A site no longer in use is owed nothing.
  settings_.siteCount = 2;
  EXPECT_EQ(Run(false), Plus(FoundLines(), {kUnchanged}));
  EXPECT_EQ(check_.RunAddressCheck(false).outcome, CheckOutcome::Unchanged);
}

TEST_F(AddressCheckRun, OutcomeFollowsTheSites) {
  using enum SiteResultKind;
  struct Case {
    std::vector<SiteResultKind> sites;
    CheckOutcome outcome;
  };
  const Case cases[] = {
      {{Done, Done}, CheckOutcome::Published},
      {{Done, NotRegistered}, CheckOutcome::PartlyPublished},
      {{TemplateNotOpened, Cancelled}, CheckOutcome::PublishFailed},
      {{Shown, Shown}, CheckOutcome::Found},
      {{Shown, PageNotWritten}, CheckOutcome::PublishFailed},
  };
  settings_.siteCount = 2;
  publisher_.siteCount = 2;
  for (const Case& c : cases) {
    publisher_.results = c.sites;
    EXPECT_EQ(check_.RunAddressCheck(true).outcome, c.outcome);
  }
  settings_.routerServer = "127.0.0.1:1";
  const CheckReport dead = check_.RunAddressCheck(true);
  EXPECT_EQ(dead.outcome, CheckOutcome::AddressNotFound);
  EXPECT_NE(dead.reason, "");
}

TEST_F(AddressCheckRun, CredentialsOnlyWhenAuthIsOn) {
  settings_.routerPage = "basic/status.htm";
  settings_.routerUser = "admin";
  settings_.routerPass = "secret";
  settings_.routerAuth = 0;
  const std::string s = Cp932ToUtf8(settings_.routerServer);
  EXPECT_EQ(Run(false), (Lines{{s + "サーバ接続開始", color::kBlack},
                               {s + ":サーバを切断", color::kBlack},
                               {"IPアドレス検索開始", color::kViolet},
                               kNotFound}));
  const std::string log = ServerLog();
  EXPECT_TRUE(log.ends_with("basic/status.htm - */*\n")) << log;
  EXPECT_EQ(log.find("Basic"), std::string::npos) << log;  // not even after the challenge
  EXPECT_EQ(check_.routerPageText(), "");
  EXPECT_TRUE(publisher_.published.empty());

  settings_.routerAuth = 1;
  EXPECT_EQ(Run(false), FoundLines());
  settings_.routerPage = "digest/ip/10.0.0.3/status.htm";
  EXPECT_EQ(Run(false), FoundLines());
  EXPECT_EQ(publisher_.published, (std::vector<std::string>{"10.0.0.1", "10.0.0.3"}));
}

// The router's password kept outside the file logs in like the one inside; one that cannot be
// had sends no request at all rather than an empty password.
TEST_F(AddressCheckRun, RouterPasswordReferenceResolvesOrSendsNothing) {
  settings_.routerPage = "basic/status.htm";
  settings_.routerUser = "admin";
  settings_.routerAuth = true;
  settings_.routerPass = "env:ZEPA2_TEST_ROUTER_PASS";
  {
    test::ScopedEnv env("ZEPA2_TEST_ROUTER_PASS", "secret");
    EXPECT_EQ(Run(false), FoundLines());
  }
  const auto pageRequests = [this] {
    const std::string log = ServerLog();
    std::size_t n = 0;
    for (std::size_t at = log.find("basic/status.htm"); at != std::string::npos; at = log.find("basic/status.htm", at + 1)) ++n;
    return n;
  };
  const std::size_t before = pageRequests();
  EXPECT_EQ(Run(true), (Lines{{"「HTTP.Pass」の参照「env:ZEPA2_TEST_ROUTER_PASS」からパスワードを取り出せないため、"
                               "送信しませんでした（環境変数がありません）。", color::kRed}}));
  EXPECT_EQ(pageRequests(), before);
}

TEST_F(AddressCheckRun, DecimalFormIsComparedShownAndPublished) {
  settings_.decimalAddress = 1;
  EXPECT_EQ(Run(false), Plus(FoundLines(), {{"アドレス変換(10.0.0.1->167772161)", color::kGreen}}));
  EXPECT_EQ(publisher_.published, std::vector<std::string>{"167772161"});
  EXPECT_EQ(check_.lastAddress(), "167772161");
  EXPECT_EQ(shown_, std::vector<std::string>{"167772161"});
  EXPECT_EQ(Run(false).back(), kUnchanged);

  settings_.routerPage = "ip/word/status.htm";  // markers that cut out something without dots
  EXPECT_EQ(Run(true), Plus(FoundTextLines(), {{"アドレスの変換に失敗しました。", color::kRed}}));
  settings_.decimalAddress = 0;
  EXPECT_EQ(Run(false), FoundTextLines());
  EXPECT_EQ(publisher_.published.back(), "word");
}

TEST_F(AddressCheckRun, EmptyFiltersFindTheEmptyAddress) {
  settings_.filter1 = settings_.filter2 = settings_.filter3 = settings_.filter4 = "";
  EXPECT_EQ(Run(false), Plus(FoundTextLines(), {kUnchanged}));  // "" equals the empty lastAddress
  EXPECT_TRUE(publisher_.published.empty());
  EXPECT_EQ(Run(true), FoundTextLines());
  EXPECT_EQ(publisher_.published, std::vector<std::string>{""});
}

TEST_F(AddressCheckRun, MarkersMissingOrPageMissing) {
  settings_.filter3 = "<th>";
  EXPECT_EQ(Run(true), Plus(FetchLines(), {{"IPアドレス検索開始", color::kViolet}, kNotFound}));

  settings_.filter3 = "<td>";
  settings_.routerPage = "no/such/page.htm";
  const std::string s = Cp932ToUtf8(settings_.routerServer);
  EXPECT_EQ(Run(true), (Lines{{s + "サーバ接続開始", color::kBlack},
                              {s + ":サーバを切断", color::kBlack},
                              {"IPアドレス検索開始", color::kViolet},
                              kNotFound}));
  EXPECT_TRUE(publisher_.published.empty());
}

TEST_F(AddressCheckRun, NetworkFailureEndsTheRunAfterTheConnectLine) {
  ASSERT_EQ(Run(false), FoundLines());
  ASSERT_FALSE(check_.routerPageText().empty());

  settings_.routerServer = "127.0.0.1:" + std::to_string(test::UnusedLocalPort());
  EXPECT_EQ(Run(true), (Lines{{Cp932ToUtf8(settings_.routerServer) + "サーバ接続開始", color::kBlack}}));
  settings_.routerServer = "router.example/";
  EXPECT_EQ(Run(true).size(), 1u);
  EXPECT_EQ(check_.routerPageText(), "");  // the report of a failed fetch carries no page
  EXPECT_EQ(publisher_.published.size(), 1u);
  EXPECT_EQ(host_.pauses.size(), 1u);
}

TEST_F(AddressCheckRun, BrokenTransfersEndTheRunQuietly) {
  CheckSessionOptions options;
  options.http.totalTimeout = 300ms;
  options.http.maxBodyBytes = 1000;
  test::StatefulCheck check(settings_, host_, publisher_, options);
  const std::string s = Cp932ToUtf8(settings_.routerServer);

  settings_.routerPage = "hang.htm";  // accepts and never answers
  check.RunAddressCheck(false);
  EXPECT_EQ(host_.lines, (Lines{{s + "サーバ接続開始", color::kBlack}}));

  settings_.routerPage = "big.htm";  // answers 200, then the body outgrows the limit
  check.RunAddressCheck(false);
  EXPECT_EQ(host_.lines, (Lines{{s + "サーバ接続開始", color::kBlack},
                                {s + "サーバ接続開始", color::kBlack},
                                {s + ":サーバ接続成功", color::kGreen}}));
  EXPECT_TRUE(publisher_.published.empty());
  EXPECT_EQ(host_.busyDepth, 0);
}

TEST_F(AddressCheckRun, LocalAddressPath) {
  settings_.useLocalAddress = 1;
  const LoggedLine obtained{"ローカルアドレス取得", color::kMagenta};

  localAddress_ = std::nullopt;
  EXPECT_EQ(Run(true), (Lines{{"ローカルアドレス取得エラー", color::kRed}}));

  localAddress_ = "192.168.1.20";
  EXPECT_EQ(Run(false), (Lines{obtained}));
  EXPECT_EQ(Run(false), (Lines{obtained, kUnchanged}));

  settings_.decimalAddress = 1;
  EXPECT_EQ(Run(false), (Lines{obtained, {"アドレス変換<192.168.1.20->3232235796>に成功しました。", color::kGreen}}));
  EXPECT_EQ(publisher_.published, (std::vector<std::string>{"192.168.1.20", "3232235796"}));

  localAddress_ = "localhost";
  EXPECT_EQ(Run(true), (Lines{obtained, {"ＩＰアドレスの変換に失敗しました。", color::kRed}}));
  EXPECT_TRUE(host_.pauses.empty());  // no router was asked
}

// Text of the router's page between the markers goes into the public page as it stands, so
// markup, line breaks and control bytes there end the run instead of being published.
TEST_F(AddressCheckRun, UnsafeAddressIsNotPublished) {
  const Lines refused{kNotFound,
                      {"アドレスに公開できない文字（制御文字、< > \" ' &）が含まれています。", color::kRed}};
  settings_.useLocalAddress = 1;
  struct Case {
    std::string address;
    bool publishable;
  };
  const Case cases[] = {
      {"192.0.2.1", true},
      {"host name with spaces", true},
      {"\x83\x41\x83\x68", true},     // CP932 text stays as it is
      {"", true},                       // empty markers find the empty address
      {"<script>alert(1)</script>", false},
      {"a>b", false},
      {"say \"hi\"", false},
      {"it's", false},
      {"a&amp;b", false},
      {"10.0.0.1\nforged line", false},
      {"10.0.0.1\r", false},
      {std::string("10.0.0.1\0x", 10), false},
      {"\x1b[31mred", false},
      {"tab\there", false},
      {"\x7f", true},  // DEL is not markup and ends no line
  };
  for (const Case& c : cases) {
    localAddress_ = c.address;
    const Lines lines = Run(true);
    if (c.publishable) {
      EXPECT_EQ(lines, (Lines{{"ローカルアドレス取得", color::kMagenta}})) << c.address;
      EXPECT_EQ(publisher_.published.back(), c.address);
    } else {
      EXPECT_EQ(lines, Plus({{"ローカルアドレス取得", color::kMagenta}}, refused)) << c.address;
      EXPECT_NE(publisher_.published.back(), c.address);
    }
  }

  settings_.useLocalAddress = 0;
  const std::size_t published = publisher_.published.size();
  for (const char* page : {"ip/%3Cscript%3Ealert(1)%3C%2Fscript%3E/status.htm", "ip/1.2.3.4%0D%0A/status.htm"}) {
    settings_.routerPage = page;
    EXPECT_EQ(Run(true), Plus(FoundTextLines(), refused)) << page;
  }
  EXPECT_EQ(publisher_.published.size(), published);
}

// A settings file holding a line break in a router field fails the fetch before anything is sent.
TEST_F(AddressCheckRun, LineBreakInARouterFieldSendsNothing) {
  settings_.routerAuth = 1;
  settings_.routerUser = "admin";
  settings_.routerPass = "secret";
  settings_.routerPage = "digest/status.htm";
  const std::string server = settings_.routerServer;
  struct Case {
    const char* field;
    std::string AppSettings::*setting;
    std::string bad;
  };
  const Case cases[] = {
      {"サーバ名", &AppSettings::routerServer, server + "\r\nX-Injected: 1"},
      {"サイト・パス", &AppSettings::routerPage, "digest/status.htm\r\nX-Injected: 1"},
      {"User", &AppSettings::routerUser, "admin\r\nX-Injected: 1"},
      {"Pass", &AppSettings::routerPass, std::string("secret\0X", 8)},
  };
  for (const Case& c : cases) {
    const std::string before = ServerLog();
    const std::string good = settings_.*c.setting;
    settings_.*c.setting = c.bad;
    EXPECT_EQ(Run(true), (Lines{{std::string("「") + c.field +
                                     "」に改行文字または NUL 文字が含まれているため、送信しません。",
                                 color::kRed}}))
        << c.field;
    settings_.*c.setting = good;
    EXPECT_EQ(ServerLog(), before) << c.field;  // no request at all, so no header line either
  }
  EXPECT_TRUE(publisher_.published.empty());
  EXPECT_EQ(Run(true), FoundLines());  // the same settings without the break work
}

TEST(ProtocolText, RefusesLineBreaksAndNulOnly) {
  EXPECT_TRUE(net::IsProtocolText("admin secret\t/\x83\x41\x7f"));
  for (const std::string& bad : {std::string("a\rb"), std::string("a\nb"), std::string("a\0b", 3)}) {
    EXPECT_FALSE(net::IsProtocolText(bad));
  }
}

}  // namespace
}  // namespace zepa2
