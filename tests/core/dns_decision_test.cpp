#include <gtest/gtest.h>

#include "core/targets/dns_decision.h"
#include "core/targets/dyndns2_updater.h"
#include "core/targets/url_updater.h"

namespace zepa2 {
namespace {

constexpr std::time_t kNow = 1'800'000'000;

struct DecisionCase {
  const char* what;
  DnsTargetState state;
  DnsRecords records;
  DnsAddresses addresses;
  bool force;
  DnsVerdict verdict;
  bool sendA;
  bool sendAaaa;
};

TEST(DnsDecision, SendsOnlyWhatTheProviderDoesNotHold) {
  const std::string stamp = "s1";
  const DnsTargetState took{stamp, "203.0.113.5", "2001:db8::5"};
  DnsTargetState stopped = took;
  stopped.stopCode = "badauth";
  DnsTargetState held = took;
  held.holdUntil = kNow + 60;
  DnsTargetState heldUntilNow = took;
  heldUntilNow.holdUntil = kNow;
  DnsTargetState owedA = took;
  owedA.address.clear();
  DnsTargetState stoppedUnderOther = stopped;
  stoppedUnderOther.settingsStamp = "s0";
  const DnsAddresses same{"203.0.113.5", "2001:db8::5"};
  const DnsAddresses newV4{"203.0.113.6", "2001:db8::5"};
  const DnsAddresses noV6{"203.0.113.5", ""};

  const DecisionCase cases[] = {
      {"never updated", {}, DnsRecords::A, same, false, DnsVerdict::Send, true, false},
      {"unchanged", took, DnsRecords::Both, same, false, DnsVerdict::Untouched, false, false},
      {"new IPv4 only sends A", took, DnsRecords::Both, newV4, false, DnsVerdict::Send, true, false},
      {"new IPv4, AAAA kept only", took, DnsRecords::Aaaa, newV4, false, DnsVerdict::Untouched, false, false},
      {"forced", took, DnsRecords::Both, same, true, DnsVerdict::Send, true, true},
      {"owed after a failure", owedA, DnsRecords::A, same, false, DnsVerdict::Send, true, false},
      {"stopped, forced", stopped, DnsRecords::A, newV4, true, DnsVerdict::Stopped, false, false},
      {"stopped under other settings", stoppedUnderOther, DnsRecords::A, same, false, DnsVerdict::Send, true, false},
      {"held, new address, forced", held, DnsRecords::A, newV4, true, DnsVerdict::Held, false, false},
      {"hold over", heldUntilNow, DnsRecords::A, newV4, false, DnsVerdict::Send, true, false},
      {"no IPv6 address is still tried", took, DnsRecords::Aaaa, noV6, false, DnsVerdict::Send, false, true},
  };
  for (const DecisionCase& c : cases) {
    const DnsDecision d = DecideDnsUpdate(c.state, stamp, c.records, c.addresses, c.force, kNow);
    EXPECT_EQ(d.verdict, c.verdict) << c.what;
    EXPECT_EQ(d.sendA, c.sendA) << c.what;
    EXPECT_EQ(d.sendAaaa, c.sendAaaa) << c.what;
  }
}

TEST(DnsDecision, StateAfterAnswerKeepsWhatTheNextRunNeeds) {
  const std::string stamp = "s1";
  const DnsTargetState took{stamp, "203.0.113.5", "2001:db8::5"};

  DnsTargetState s = DnsStateAfter(took, stamp, DnsFamily::A, "203.0.113.6", {DnsAnswerKind::Taken}, kNow);
  EXPECT_EQ(s.address, "203.0.113.6");
  EXPECT_EQ(s.ipv6Address, "2001:db8::5");

  s = DnsStateAfter(took, stamp, DnsFamily::A, "203.0.113.6", {DnsAnswerKind::Failed}, kNow);
  EXPECT_EQ(s.address, "") << "a failure leaves the update owed";

  s = DnsStateAfter(took, stamp, DnsFamily::Aaaa, "2001:db8::6", {DnsAnswerKind::Stopping, "abuse"}, kNow);
  EXPECT_EQ(s.stopCode, "abuse");
  EXPECT_EQ(DecideDnsUpdate(s, stamp, DnsRecords::Both, {"1.2.3.4", "2001:db8::7"}, true, kNow).verdict,
            DnsVerdict::Stopped);

  s = DnsStateAfter(took, stamp, DnsFamily::A, "203.0.113.6", {DnsAnswerKind::Holding, "911"}, kNow);
  EXPECT_EQ(s.holdUntil, kNow + 30 * 60);
  EXPECT_EQ(DecideDnsUpdate(s, stamp, DnsRecords::A, {"1.2.3.4"}, false, kNow + 29 * 60).verdict, DnsVerdict::Held);
  EXPECT_EQ(DecideDnsUpdate(s, stamp, DnsRecords::A, {"1.2.3.4"}, false, kNow + 30 * 60).verdict, DnsVerdict::Send);

  // New settings start the target afresh: the stop is gone, the other family owes its update.
  DnsTargetState stopped = took;
  stopped.stopCode = "badauth";
  s = DnsStateAfter(stopped, "s2", DnsFamily::A, "203.0.113.5", {DnsAnswerKind::Taken}, kNow);
  EXPECT_EQ(s, (DnsTargetState{"s2", "203.0.113.5", ""}));
}

TEST(DnsDecision, StampFollowsEverySettingAndHidesThePassword) {
  const DnsTarget base{.kind = DnsKind::Dyndns2, .url = "members.example.net", .user = "me", .pass = "pw",
                       .host = "a.example.net"};
  const std::string stamp = DnsSettingsStamp(base);
  EXPECT_EQ(DnsSettingsStamp(base), stamp);
  EXPECT_EQ(stamp.find("pw"), std::string::npos);
  DnsTarget other = base;
  other.pass = "pw2";
  EXPECT_NE(DnsSettingsStamp(other), stamp);
  other = base;
  other.records = DnsRecords::Both;
  EXPECT_NE(DnsSettingsStamp(other), stamp);
  other = base;
  other.user = "mep";
  other.pass = "w";
  EXPECT_NE(DnsSettingsStamp(other), stamp);
}

TEST(Dyndns2Answer, GravestLineDecides) {
  const struct {
    const char* body;
    DnsAnswerKind kind;
    const char* code;
  } cases[] = {
      {"good 203.0.113.5", DnsAnswerKind::Taken, "good"},
      {"nochg 203.0.113.5\r\n", DnsAnswerKind::AlreadyHeld, "nochg"},
      {"nochg 203.0.113.5\ngood 203.0.113.5\n", DnsAnswerKind::Taken, "good"},
      {"good 203.0.113.5\nnohost\n", DnsAnswerKind::Stopping, "nohost"},
      {"dnserr\nbadauth", DnsAnswerKind::Stopping, "badauth"},
      {"911", DnsAnswerKind::Holding, "911"},
      {"<html>proxy error</html>", DnsAnswerKind::Failed, ""},
      {"", DnsAnswerKind::Failed, ""},
  };
  for (const auto& c : cases) {
    const DnsAnswer answer = Dyndns2AnswerOf(c.body);
    EXPECT_EQ(answer.kind, c.kind) << c.body;
    EXPECT_EQ(answer.code, c.code) << c.body;
  }
}

TEST(UrlTemplate, FillsBothAddressesPercentEncoded) {
  EXPECT_EQ(FilledUpdateUrl("https://x.example/u?ip=$$IP_ADDRESS$$&v6=$$IPV6_ADDRESS$$&again=$$IP_ADDRESS$$",
                            {"203.0.113.5", "2001:db8::1"}),
            "https://x.example/u?ip=203.0.113.5&v6=2001%3Adb8%3A%3A1&again=203.0.113.5");
  EXPECT_EQ(FilledUpdateUrl("http://x.example/u?v6=$$IPV6_ADDRESS$$", {"203.0.113.5", ""}), "http://x.example/u?v6=");
}

}  // namespace
}  // namespace zepa2
