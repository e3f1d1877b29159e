// DNS targets through a whole check against a real provider fixture on 127.0.0.1 (and ::1).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "core/check/check_session.h"
#include "core/net/http_get.h"
#include "support/fixture_process.h"
#include "support/recording_check_host.h"
#include "support/recording_publisher.h"
#include "support/temp_dir.h"

namespace zepa2 {
namespace {

using Json = nlohmann::json;
namespace fs = std::filesystem;
using ::testing::HasSubstr;

class DnsTargetsTest : public ::testing::Test {
 protected:
  DnsTargetsTest() {
    settings_.useLocalAddress = true;
    host_.now = 1'800'000'000;
  }

  std::string Base() const { return "http://127.0.0.1:" + std::to_string(provider_.port()); }

  DnsTarget& Dyndns2(const std::string& hosts) {
    settings_.dnsTargets[0] = {.kind = DnsKind::Dyndns2, .url = Base(), .user = "me", .pass = "secret", .host = hosts};
    return settings_.dnsTargets[0];
  }

  DnsTarget& Cloudflare(const std::string& token, DnsRecords records) {
    settings_.dnsTargets[0] = {.kind = DnsKind::Cloudflare, .pass = token, .host = "www.example.org",
                               .zone = "example.org", .records = records, .api = Base() + "/client/v4"};
    return settings_.dnsTargets[0];
  }

  // One run with the state the last one left; the first target's report.
  DnsTargetReport Run(bool force = false) {
    CheckSession session(settings_, host_, publisher_,
                         {.localAddress = [this] { return std::optional<std::string>(address_); },
                          .ipv6Address = [this] { return Ipv6Choice{ipv6_, 64}; }});
    last_ = session.Run({.force = force}, state_);
    state_ = last_.state;
    return last_.dnsTargets.empty() ? DnsTargetReport{} : last_.dnsTargets.front();
  }

  // The provider's requests so far, oldest first (its own log requests left out).
  std::vector<Json> Requests() const {
    const net::HttpGetResult got = net::HttpGetUrl(Base() + "/log");
    std::vector<Json> requests;
    std::size_t start = 0;
    for (std::size_t end; (end = got.body.find('\n', start)) != std::string::npos; start = end + 1)
      requests.push_back(Json::parse(got.body.substr(start, end - start)));
    return requests;
  }

  std::string Log() const {
    std::string all;
    for (const auto& line : host_.lines) all += line.text + "\n";
    return all;
  }

  test::FixtureProcess provider_{"dns_server.py"};
  test::TempDir state_dir_;
  test::ScopedEnv stateHome_{"XDG_STATE_HOME", state_dir_.path().string()};
  AppSettings settings_;
  test::RecordingCheckHost host_;
  test::RecordingPublisher publisher_;
  RunState state_;
  CheckReport last_;
  std::string address_ = "203.0.113.5";
  std::string ipv6_ = "2001:db8::5";
};

// Every result code of the protocol, its result and what the next runs send.
TEST_F(DnsTargetsTest, Dyndns2ObeysEveryResultCode) {
  enum class Then { Rests, Stops, Holds };
  const struct {
    const char* host;
    DnsResultKind result;
    const char* code;
    Then then;
  } cases[] = {
      {"home.example.net", DnsResultKind::Updated, "good", Then::Rests},
      {"nochg.example.net", DnsResultKind::AlreadyHeld, "nochg", Then::Rests},
      {"badauth.example.net", DnsResultKind::Stopped, "badauth", Then::Stops},
      {"!donator.example.net", DnsResultKind::Stopped, "!donator", Then::Stops},
      {"notfqdn.example.net", DnsResultKind::Stopped, "notfqdn", Then::Stops},
      {"nohost.example.net", DnsResultKind::Stopped, "nohost", Then::Stops},
      {"numhost.example.net", DnsResultKind::Stopped, "numhost", Then::Stops},
      {"abuse.example.net", DnsResultKind::Stopped, "abuse", Then::Stops},
      {"badagent.example.net", DnsResultKind::Stopped, "badagent", Then::Stops},
      {"badsys.example.net", DnsResultKind::Stopped, "badsys", Then::Stops},
      {"dnserr.example.net", DnsResultKind::Held, "dnserr", Then::Holds},
      {"911.example.net", DnsResultKind::Held, "911", Then::Holds},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.host);
    state_ = {};
    address_ = "203.0.113.5";
    Dyndns2(c.host);
    const std::size_t before = Requests().size();
    const DnsTargetReport first = Run();
    EXPECT_EQ(first.result, c.result);
    EXPECT_EQ(first.code, c.code);
    EXPECT_TRUE(first.sent);
    ASSERT_EQ(Requests().size(), before + 1);
    if (c.then == Then::Stops || c.then == Then::Holds) {
      EXPECT_THAT(Log(), HasSubstr(c.code));
    }
    // Only a hold asks for another check, and no sooner than its end; a stop waits for new settings.
    EXPECT_EQ(LeftWorkOwed(last_), c.then == Then::Holds);
    EXPECT_EQ(last_.holdOff, c.then == Then::Holds ? std::chrono::seconds(30 * 60) : std::chrono::seconds(0));

    // A new address a minute later, forced: a stopped or held target sends nothing.
    address_ = "203.0.113.6";
    host_.now += 60;
    const DnsTargetReport second = Run(true);
    const bool silent = c.then == Then::Stops || c.then == Then::Holds;
    EXPECT_EQ(Requests().size(), before + (silent ? 1 : 2));
    if (silent) {
      EXPECT_EQ(second.result, c.result);
    }
    EXPECT_FALSE(second.sent && silent);

    // A hold ends after thirty minutes; a stop never does.
    host_.now += 30 * 60;
    Run();
    EXPECT_EQ(Requests().size(), before + (c.then == Then::Stops ? 1u : 2u));
  }
}

// A code of the protocol counts only in a successful answer: a "good" in a 500 answer is a failure.
TEST_F(DnsTargetsTest, Dyndns2CodesCountOnlyInASuccessfulAnswer) {
  Dyndns2("http500.example.net");
  const DnsTargetReport failed = Run();
  EXPECT_EQ(failed.result, DnsResultKind::Failed);
  EXPECT_THAT(failed.reason, HasSubstr("HTTP ステータス 500"));
  EXPECT_TRUE(LeftWorkOwed(last_));
}

// A target stopped by a wrong secret behind a reference is tried once when the secret there
// changes, and stays stopped while it does not; the state file never holds the secret.
TEST_F(DnsTargetsTest, StoppedTargetIsTriedOnceWhenTheSecretBehindItsReferenceChanges) {
  const fs::path secretFile = state_dir_.path() / "dns-pass";
  const auto writeSecret = [&](const std::string& secret) {
    test::WriteFile(secretFile, secret + "\n");
    fs::permissions(secretFile, fs::perms::owner_read | fs::perms::owner_write);
  };
  writeSecret("wrong");
  Dyndns2("home.example.net").pass = "file:" + secretFile.string();
  EXPECT_EQ(Run().result, DnsResultKind::Stopped);
  EXPECT_EQ(Run().result, DnsResultKind::Stopped);
  EXPECT_EQ(Requests().size(), 1u);
  EXPECT_EQ(state_.dnsTargets[0].secretStamp.find("wrong"), std::string::npos);

  writeSecret("still-wrong");
  EXPECT_EQ(Run().result, DnsResultKind::Stopped);  // tried once, stopped again
  EXPECT_EQ(Requests().size(), 2u);
  EXPECT_EQ(Run(true).result, DnsResultKind::Stopped);
  EXPECT_EQ(Requests().size(), 2u);

  writeSecret("secret");
  EXPECT_EQ(Run().result, DnsResultKind::Updated) << Log();
  EXPECT_EQ(Requests().size(), 3u);
}

TEST_F(DnsTargetsTest, Dyndns2SendsItsNameAndLogInButNeverAgainForTheSameAddress) {
  Dyndns2("home.example.net, www.example.net");
  EXPECT_EQ(Run().result, DnsResultKind::Updated);
  const std::vector<Json> first = Requests();
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0]["path"], "/nic/update?hostname=home.example.net,www.example.net&myip=203.0.113.5");
  EXPECT_EQ(first[0]["authorization"], "Basic bWU6c2VjcmV0");
  EXPECT_THAT(first[0]["user_agent"].get<std::string>(), HasSubstr("ZEPA2/" ZEPA2_VERSION));
  EXPECT_EQ(Log().find("secret"), std::string::npos);

  for (int run = 0; run < 10; ++run) {
    host_.now += 60;
    EXPECT_EQ(Run().result, DnsResultKind::Untouched);
  }
  EXPECT_EQ(Requests().size(), 1u);

  EXPECT_EQ(Run(true).result, DnsResultKind::Updated);
  EXPECT_EQ(Requests().size(), 2u);
}

// A provider that already held the address was sent a needless update: a violet note, unless forced.
TEST_F(DnsTargetsTest, NochgOfAnUnforcedRunIsNotedAsNeedless) {
  Dyndns2("nochg.example.net");
  const DnsTargetReport unforced = Run();
  EXPECT_TRUE(unforced.needless);
  EXPECT_THAT(Log(), HasSubstr("nochg"));
  state_ = {};
  host_.lines.clear();
  const DnsTargetReport forced = Run(true);
  EXPECT_EQ(forced.result, DnsResultKind::AlreadyHeld);
  EXPECT_FALSE(forced.needless);
}

// Only a change of its settings wakes a stopped target.
TEST_F(DnsTargetsTest, StoppedTargetWakesOnlyWhenItsSettingsChange) {
  Dyndns2("home.example.net").pass = "wrong";
  EXPECT_EQ(Run().result, DnsResultKind::Stopped);
  for (bool force : {false, true, false}) EXPECT_EQ(Run(force).result, DnsResultKind::Stopped);
  EXPECT_EQ(Requests().size(), 1u);
  settings_.dnsTargets[0].pass = "secret";
  EXPECT_EQ(Run().result, DnsResultKind::Updated);
  EXPECT_EQ(Requests().size(), 2u);
}

// A bad answer from one target never keeps the pages or the next target from theirs.
TEST_F(DnsTargetsTest, FailedTargetBlocksNeitherPagesNorOtherTargets) {
  settings_.dnsTargets[0] = {.kind = DnsKind::Url, .url = "http://127.0.0.1:1/never"};
  settings_.dnsTargets[2] = {.kind = DnsKind::Dyndns2, .url = Base(), .user = "me", .pass = "secret", .host = "a.example.net"};
  settings_.dnsTargets[3].unknownKind = "7";
  Run();
  EXPECT_EQ(last_.outcome, CheckOutcome::Published);
  ASSERT_EQ(last_.dnsTargets.size(), 3u);
  EXPECT_EQ(last_.dnsTargets[0].result, DnsResultKind::Failed);
  EXPECT_EQ(last_.dnsTargets[1].number, 3);
  EXPECT_EQ(last_.dnsTargets[1].result, DnsResultKind::Updated);
  EXPECT_EQ(last_.dnsTargets[2].result, DnsResultKind::Failed);
  EXPECT_THAT(Log(), HasSubstr("DNS4（）:種類の値（7）"));
  EXPECT_TRUE(LeftWorkOwed(last_));
  // The failed one is owed its update at the next check; the others rest.
  host_.lines.clear();
  Run();
  EXPECT_EQ(last_.dnsTargets[0].result, DnsResultKind::Failed);
  EXPECT_TRUE(last_.dnsTargets[0].sent);
  EXPECT_EQ(last_.dnsTargets[1].result, DnsResultKind::Untouched);
}

TEST_F(DnsTargetsTest, CloudflareChangesOnlyTheContentOfEachRecord) {
  Cloudflare("good-token", DnsRecords::Both);
  EXPECT_EQ(Run().result, DnsResultKind::Updated) << Log();
  std::vector<Json> patches;
  for (const Json& r : Requests()) {
    if (r["method"] == "PATCH") patches.push_back(r);
    EXPECT_EQ(r["authorization"], "Bearer good-token");
  }
  ASSERT_EQ(patches.size(), 2u);
  EXPECT_EQ(patches[0]["path"], "/client/v4/zones/z1/dns_records/r1");
  EXPECT_EQ(Json::parse(patches[0]["body"].get<std::string>()), (Json{{"content", "203.0.113.5"}}));
  EXPECT_EQ(patches[1]["path"], "/client/v4/zones/z1/dns_records/r2");
  EXPECT_EQ(Json::parse(patches[1]["body"].get<std::string>()), (Json{{"content", "2001:db8::5"}}));
  const Json records = Json::parse(net::HttpGetUrl(Base() + "/records").body);
  EXPECT_EQ(records["r1"]["proxied"], true);
  EXPECT_EQ(records["r1"]["ttl"], 300);
  EXPECT_EQ(records["r2"]["content"], "2001:db8::5");
  EXPECT_EQ(Log().find("good-token"), std::string::npos);
}

TEST_F(DnsTargetsTest, CloudflareRefusalsCarryTheApisOwnWords) {
  const struct {
    const char* token;
    const char* zone;
    const char* host;
    const char* words;
  } cases[] = {
      {"no-such-token", "example.org", "www.example.org", "Authentication error (10000)"},
      {"read-token", "example.org", "www.example.org", "Authentication error (10000)"},
      {"good-token", "example.com", "www.example.org", "ゾーンが見つかりません：example.com"},
      {"good-token", "example.org", "mail.example.org", "レコードが見つかりません：A mail.example.org"},
      // An answer nested 300 000 levels deep is refused before anything is built from it.
      {"deep-token", "example.org", "www.example.org", "応答を読めません"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.token + std::string(" ") + c.zone + " " + c.host);
    state_ = {};
    host_.lines.clear();
    DnsTarget& target = Cloudflare(c.token, DnsRecords::A);
    target.zone = c.zone;
    target.host = c.host;
    const DnsTargetReport report = Run();
    EXPECT_EQ(report.result, DnsResultKind::Failed);
    EXPECT_THAT(report.reason, HasSubstr(c.words));
    EXPECT_THAT(Log(), HasSubstr(c.words));
  }
}

// The URL kind connects over the family of the record it keeps (curl resolves "localhost" to both).
TEST_F(DnsTargetsTest, UrlKindConnectsOverTheRecordsFamily) {
  if (net::HttpGetUrl("http://[::1]:" + std::to_string(provider_.port()) + "/records").kind != net::HttpGetKind::Ok)
    GTEST_SKIP() << "no ::1 on this machine";
  const std::string url = "http://localhost:" + std::to_string(provider_.port()) + "/url/";
  settings_.dnsTargets[0] = {.kind = DnsKind::Url, .url = url + "u?ip=$$IP_ADDRESS$$&v6=$$IPV6_ADDRESS$$",
                             .user = "me", .pass = "secret", .records = DnsRecords::Both, .match = "OK"};
  EXPECT_EQ(Run().result, DnsResultKind::Updated) << Log();
  const std::vector<Json> requests = Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0]["family"], "4");
  EXPECT_EQ(requests[1]["family"], "6");
  EXPECT_EQ(requests[0]["path"], "/url/u?ip=203.0.113.5&v6=2001%3Adb8%3A%3A5");
  EXPECT_EQ(requests[0]["authorization"], "Basic bWU6c2VjcmV0");
}

// Match decides success; without it any 2xx answer does.
TEST_F(DnsTargetsTest, UrlKindLooksForMatch) {
  const struct {
    const char* path;
    const char* match;
    DnsResultKind result;
  } cases[] = {
      {"ok/u", "OK", DnsResultKind::Updated},
      {"fail/u", "OK", DnsResultKind::Failed},
      {"fail/u", "", DnsResultKind::Updated},
      {"404/u", "", DnsResultKind::Failed},
  };
  for (const auto& c : cases) {
    state_ = {};
    settings_.dnsTargets[0] = {.kind = DnsKind::Url, .url = Base() + "/url/" + c.path, .match = c.match};
    EXPECT_EQ(Run().result, c.result) << c.path << " " << c.match << "\n" << Log();
  }
}

// A password kept elsewhere is looked up at the run; one that cannot be had sends nothing.
TEST_F(DnsTargetsTest, PasswordReferenceIsResolvedAtTheRun) {
  Dyndns2("home.example.net").pass = "env:ZEPA2_TEST_DNS_PASS";
  {
    test::ScopedEnv pass("ZEPA2_TEST_DNS_PASS", "secret");
    EXPECT_EQ(Run().result, DnsResultKind::Updated) << Log();
  }
  ASSERT_EQ(Requests().size(), 1u);
  EXPECT_EQ(Requests()[0]["authorization"], "Basic bWU6c2VjcmV0");
  unsetenv("ZEPA2_TEST_DNS_PASS");
  const DnsTargetReport unresolved = Run(true);
  EXPECT_EQ(unresolved.result, DnsResultKind::Failed);
  EXPECT_FALSE(unresolved.sent);
  EXPECT_THAT(Log(), HasSubstr("DNS.Pass1"));
  EXPECT_EQ(Requests().size(), 1u);
}

// IPv6 is never left out silently: a target that keeps AAAA records fails when there is none.
TEST_F(DnsTargetsTest, MissingIpv6AddressFailsTheTarget) {
  ipv6_.clear();
  Cloudflare("good-token", DnsRecords::Aaaa);
  const DnsTargetReport report = Run();
  EXPECT_EQ(report.result, DnsResultKind::Failed);
  EXPECT_THAT(report.reason, HasSubstr("IPv6"));
}

// A shared or private IPv4 address reaches nobody: the A part is skipped with a note, the AAAA part
// goes on, and the target has not failed.
TEST_F(DnsTargetsTest, SharedIpv4AddressStaysOutOfTheARecord) {
  const struct {
    const char* ipv4;
    DnsRecords records;
    const char* note;
    std::vector<std::string> paths;
    DnsResultKind result;
  } cases[] = {
      {"100.64.1.2", DnsRecords::Both, "IPv4アドレスが共有アドレス（CGN）のため、Aレコードは更新しません",
       {"/nic/update?hostname=home.example.net&myip=2001%3Adb8%3A%3A5"}, DnsResultKind::Updated},
      {"192.0.0.2", DnsRecords::Both, "DS-Lite", {"/nic/update?hostname=home.example.net&myip=2001%3Adb8%3A%3A5"},
       DnsResultKind::Updated},
      {"192.168.1.20", DnsRecords::A, "プライベートアドレス", {}, DnsResultKind::Untouched},
      {"100.127.255.254", DnsRecords::A, "共有アドレス（CGN）", {}, DnsResultKind::Untouched},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ipv4);
    state_ = {};
    host_.lines.clear();
    address_ = c.ipv4;
    Dyndns2("home.example.net").records = c.records;
    const std::size_t before = Requests().size();
    const DnsTargetReport report = Run();
    EXPECT_EQ(report.result, c.result) << Log();
    EXPECT_FALSE(DnsTargetFailed(report.result));
    EXPECT_FALSE(LeftWorkOwed(last_));
    std::vector<std::string> paths;
    for (std::size_t i = before; i < Requests().size(); ++i) paths.push_back(Requests()[i]["path"]);
    EXPECT_EQ(paths, c.paths);
    const auto noted = std::find_if(host_.lines.begin(), host_.lines.end(), [&](const auto& line) {
      return line.text.find(c.note) != std::string::npos;
    });
    ASSERT_NE(noted, host_.lines.end()) << Log();
    EXPECT_EQ(noted->color, log_color::kViolet);
  }
}

// Another machine behind the router: this machine's prefix with its identifier, sent when the
// prefix changes and never when only this machine's own host part does.
TEST_F(DnsTargetsTest, SuffixTargetFollowsThePrefixOnly) {
  Dyndns2("nas.example.net").records = DnsRecords::Aaaa;
  settings_.dnsTargets[0].suffix = "::50:0:0:0:12/56";
  ipv6_ = "2a02:6b8:b010:a::5";
  EXPECT_EQ(Run().result, DnsResultKind::Updated) << Log();
  ipv6_ = "2a02:6b8:b010:a:1111:2222:3333:4444";  // a new temporary address: the same prefix
  EXPECT_EQ(Run().result, DnsResultKind::Untouched) << Log();
  ipv6_ = "2a02:6b8:b777:a::5";
  EXPECT_EQ(Run().result, DnsResultKind::Updated) << Log();
  std::vector<std::string> paths;
  for (const Json& request : Requests()) paths.push_back(request["path"]);
  EXPECT_EQ(paths, (std::vector<std::string>{"/nic/update?hostname=nas.example.net&myip=2a02%3A6b8%3Ab010%3A50%3A%3A12",
                                             "/nic/update?hostname=nas.example.net&myip=2a02%3A6b8%3Ab777%3A50%3A%3A12"}));

  // A suffix put in the file by hand that names no machine fails the target; nothing is sent.
  settings_.dnsTargets[0].suffix = "::";
  const DnsTargetReport refused = Run();
  EXPECT_EQ(refused.result, DnsResultKind::Failed);
  EXPECT_THAT(refused.reason, HasSubstr("DNS.Suffix1"));
  EXPECT_EQ(Requests().size(), 2u);
}

}  // namespace
}  // namespace zepa2
