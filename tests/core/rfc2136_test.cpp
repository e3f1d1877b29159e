// RFC 2136 targets against real name servers on 127.0.0.1: knotd and named, each with its own keys.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/check/check_session.h"
#include "support/free_port.h"
#include "support/name_server.h"
#include "support/recording_check_host.h"
#include "support/recording_publisher.h"

namespace zepa2 {
namespace {

using test::NameServerKind;
using ::testing::HasSubstr;

class Rfc2136Test : public ::testing::TestWithParam<NameServerKind> {
 protected:
  Rfc2136Test() {
    settings_.useLocalAddress = true;
    host_.now = 1'800'000'000;
    Target() = {.kind = DnsKind::Rfc2136,
                .url = server_.hostPort(),
                .user = test::kUpdateKeyName,
                .pass = test::kUpdateKeySecret,
                .host = "home.example.test",
                .zone = test::kZone};
  }

  DnsTarget& Target() { return settings_.dnsTargets[0]; }

  DnsTargetReport Run(bool force = false) {
    CheckSession session(settings_, host_, publisher_,
                         {.http = http_,
                          .localAddress = [this] { return std::optional<std::string>(address_); },
                          .ipv6Address = [this] { return Ipv6Choice{ipv6_, 64}; }});
    last_ = session.Run({.force = force}, state_);
    state_ = last_.state;
    return last_.dnsTargets.empty() ? DnsTargetReport{} : last_.dnsTargets.front();
  }

  std::string Log() const {
    std::string all;
    for (const auto& line : host_.lines) all += line.text + "\n";
    return all;
  }

  test::LocalNameServer server_{GetParam()};
  AppSettings settings_;
  test::RecordingCheckHost host_;
  test::RecordingPublisher publisher_;
  net::HttpGetOptions http_;
  RunState state_;
  CheckReport last_;
  std::string address_ = "203.0.113.5";
  std::string ipv6_ = "2001:db8::5";
};

TEST_P(Rfc2136Test, ReplacesBothFamiliesOfEveryNameWithTheTtl) {
  server_.ChangeBehindBack(
      "update add home.example.test. 300 A 192.0.2.1\n"
      "update add home.example.test. 300 A 192.0.2.2");
  Target().host = "home.example.test, www.example.test";
  Target().records = DnsRecords::Both;
  Target().ttl = "120";
  const DnsTargetReport report = Run();
  EXPECT_EQ(report.result, DnsResultKind::Updated) << Log();
  EXPECT_TRUE(report.sent);
  for (const char* name : {"home.example.test", "www.example.test"}) {
    EXPECT_EQ(server_.Records(name, "A"), "120 203.0.113.5\n") << name;
    EXPECT_EQ(server_.Records(name, "AAAA"), "120 2001:db8::5\n") << name;
  }
  // The same address again sends nothing; a new one replaces the record.
  EXPECT_EQ(Run().result, DnsResultKind::Untouched);
  address_ = "203.0.113.6";
  EXPECT_EQ(Run().result, DnsResultKind::Updated);
  EXPECT_EQ(server_.Records("home.example.test", "A"), "120 203.0.113.6\n");
  EXPECT_EQ(server_.Records("home.example.test", "AAAA"), "120 2001:db8::5\n");
}

TEST_P(Rfc2136Test, TakesAnotherAlgorithmAndTheDefaultTtl) {
  Target().user = test::kStrongKeyName;
  Target().pass = test::kStrongKeySecret;
  Target().algorithm = "HMAC-SHA512";
  EXPECT_EQ(Run().result, DnsResultKind::Updated) << Log();
  EXPECT_EQ(server_.Records("home.example.test", "A"), "300 203.0.113.5\n");
}

// A refused key or zone stops the target with the server's code until its settings change.
TEST_P(Rfc2136Test, RefusalsStopTheTargetWithTheirCode) {
  const bool knot = GetParam() == NameServerKind::Knot;
  const struct {
    const char* what;
    std::string user, pass, zone, host;
    const char* code;
  } cases[] = {
      {"wrong secret", test::kUpdateKeyName, test::kStrongKeySecret, test::kZone, "home.example.test",
       "BADSIG"},
      {"unknown key", "nobody-key", test::kUpdateKeySecret, test::kZone, "home.example.test", "BADKEY"},
      {"locked zone", test::kUpdateKeyName, test::kUpdateKeySecret, test::kLockedZone, "home.locked.test",
       knot ? "BADKEY" : "REFUSED"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    state_ = {};
    host_.lines.clear();
    address_ = "203.0.113.5";
    Target().user = c.user;
    Target().pass = c.pass;
    Target().zone = c.zone;
    Target().host = c.host;
    const DnsTargetReport first = Run();
    EXPECT_EQ(first.result, DnsResultKind::Stopped) << Log();
    EXPECT_EQ(first.code, c.code);
    EXPECT_THAT(Log(), HasSubstr(c.code));
    EXPECT_EQ(server_.Records(c.host, "A"), "");
    address_ = "203.0.113.6";
    const DnsTargetReport second = Run(true);
    EXPECT_EQ(second.result, DnsResultKind::Stopped);
    EXPECT_FALSE(second.sent);
  }
}

TEST_P(Rfc2136Test, BadSettingsFailWithAClearReason) {
  const DnsTarget good = Target();
  const struct {
    const char* reason;
    void (*change)(DnsTarget&);
  } cases[] = {
      {"ゾーンの外の名前です：home.example.org", [](DnsTarget& t) { t.host = "home.example.org"; }},
      {"使えないアルゴリズムです：hmac-md4", [](DnsTarget& t) { t.algorithm = "hmac-md4"; }},
      {"TTLは1から86400まで", [](DnsTarget& t) { t.ttl = "86401"; }},
      {"TTLは1から86400まで", [](DnsTarget& t) { t.ttl = "5m"; }},
      {"秘密鍵で署名できません", [](DnsTarget& t) { t.pass = "not base64!"; }},
      {"ゾーンが設定されていません", [](DnsTarget& t) { t.zone.clear(); }},
      {"名前サーバの指定が正しくありません", [](DnsTarget& t) { t.url = "dns://127.0.0.1"; }},
      {"鍵の名前が設定されていません", [](DnsTarget& t) { t.user.clear(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    state_ = {};
    Target() = good;
    c.change(Target());
    const DnsTargetReport report = Run();
    EXPECT_EQ(report.result, DnsResultKind::Failed);
    EXPECT_THAT(report.reason, HasSubstr(c.reason));
  }
  EXPECT_EQ(server_.Records("home.example.test", "A"), "");
}

TEST_P(Rfc2136Test, ServerThatNeverAnswersIsAFailureTriedAgain) {
  Target().url = "127.0.0.1:" + std::to_string(test::UnusedLocalPort());
  http_.connectTimeout = std::chrono::milliseconds(200);
  http_.totalTimeout = std::chrono::milliseconds(200);
  const DnsTargetReport report = Run();
  EXPECT_EQ(report.result, DnsResultKind::Failed);
  EXPECT_THAT(report.reason, HasSubstr("名前サーバから答えがありません"));
  Target().url = server_.hostPort();
  EXPECT_EQ(Run().result, DnsResultKind::Updated) << Log();
}

INSTANTIATE_TEST_SUITE_P(Servers, Rfc2136Test, ::testing::Values(NameServerKind::Knot, NameServerKind::Bind),
                         [](const auto& info) {
                           return info.param == NameServerKind::Knot ? "Knot" : "Bind";
                         });

}  // namespace
}  // namespace zepa2
