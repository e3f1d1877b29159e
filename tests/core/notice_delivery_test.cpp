#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <mutex>
#include <sstream>

#include "core/notify/heartbeat.h"
#include "core/notify/mail.h"
#include "core/notify/notice_sender.h"
#include "core/notify/webhook.h"
#include "core/text/cp932.h"
#include "support/fixture_process.h"
#include "support/temp_dir.h"

namespace zepa2 {
namespace {

using ::testing::HasSubstr;
using Json = nlohmann::json;

// The requests the receiver recorded, in order.
std::vector<Json> Recorded(const std::filesystem::path& file) {
  std::vector<Json> requests;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) requests.push_back(Json::parse(line));
  return requests;
}

// The log lines a delivery wrote (UTF-8), each with "!" in front when red.
struct LogLines {
  std::mutex mutex;
  std::vector<std::string> lines;
  NoticeLog Sink() {
    return [this](const std::string& text, LogColor color) {
      std::lock_guard lock(mutex);
      lines.push_back((color == log_color::kRed ? "!" : "") + Cp932ToUtf8(text));
    };
  }
};

CheckReport Report(CheckOutcome outcome) {
  CheckReport report;
  report.outcome = outcome;
  report.address = outcome == CheckOutcome::AddressNotFound ? "" : "192.0.2.8";
  return report;
}

TEST(Heartbeat, FailAppendsToThePathBeforeAnyQuery) {
  const struct {
    const char* url;
    bool failed;
    const char* asked;
  } cases[] = {
      {"https://hc-ping.com/abc", false, "https://hc-ping.com/abc"},
      {"https://hc-ping.com/abc", true, "https://hc-ping.com/abc/fail"},
      {"https://hc-ping.com/abc/", true, "https://hc-ping.com/abc/fail"},
      {"https://mon.example.net/ping?token=x", true, "https://mon.example.net/ping/fail?token=x"},
      {"http://127.0.0.1:8000", true, "http://127.0.0.1:8000/fail"},
  };
  for (const auto& c : cases) EXPECT_EQ(PingUrlFor(c.url, c.failed), c.asked) << c.url;
}

// A test folder, a record file for the receiving fixture, and the lines a delivery logs.
class ChannelTest : public ::testing::Test {
 protected:
  test::TempDir dir_;
  std::filesystem::path record_ = dir_ / "requests";
  LogLines log_;

  NotifyChannels Ping(const test::FixtureProcess& server) {
    NotifyChannels channels;
    channels.pingUrl = "http://" + server.hostPort() + "/ping/uuid";
    return channels;
  }
};
using HeartbeatTest = ChannelTest;

// A good check asks the URL, a failed one (no address, a site or a DNS target down) its /fail;
// a test run asks nothing.
TEST_F(HeartbeatTest, AsksAfterEveryCheckWhateverThePolicy) {
  test::FixtureProcess server("notify_server.py", {record_.string()});
  const NotifyChannels channels = Ping(server);
  CheckReport dnsDown = Report(CheckOutcome::Unchanged);
  dnsDown.dnsTargets.push_back({.number = 1, .result = DnsResultKind::Failed, .sent = true});
  for (const CheckReport& report : {Report(CheckOutcome::Unchanged), Report(CheckOutcome::AddressNotFound),
                                    Report(CheckOutcome::Published), Report(CheckOutcome::PublishFailed),
                                    Report(CheckOutcome::Found), dnsDown})
    SendHeartbeat(channels, report, log_.Sink(), {});
  std::vector<std::string> paths;
  for (const Json& request : Recorded(record_)) {
    EXPECT_EQ(request["method"], "GET");
    paths.push_back(request["path"]);
  }
  EXPECT_THAT(paths, ::testing::ElementsAre("/ping/uuid", "/ping/uuid/fail", "/ping/uuid", "/ping/uuid/fail",
                                            "/ping/uuid/fail"));
  EXPECT_THAT(log_.lines, ::testing::Each("死活監視に通知しました"));
}

// A refusing or mute monitor is one red line, worded without the URL (the monitor's secret).
TEST_F(HeartbeatTest, FailureIsOneRedLineWithoutTheUrl) {
  test::FixtureProcess refusing("notify_server.py", {record_.string(), "--status", "500"});
  SendHeartbeat(Ping(refusing), Report(CheckOutcome::Unchanged), log_.Sink(), {});
  test::FixtureProcess mute("notify_server.py", {(dir_ / "mute").string(), "--mute"});
  SendHeartbeat(Ping(mute), Report(CheckOutcome::Unchanged), log_.Sink(),
                {.deadline = std::chrono::milliseconds(300)});
  EXPECT_THAT(log_.lines, ::testing::ElementsAre("!死活監視への通知に失敗しました：HTTP ステータス 500",
                                                 "!死活監視への通知に失敗しました：時間内に終わりませんでした"));
  for (const std::string& line : log_.lines) EXPECT_THAT(line, ::testing::Not(HasSubstr("uuid")));
}

// Sending never holds the caller: a job for a mute server is queued and the caller goes on; the
// sender's end stops the sending under way instead of waiting out its deadline.
TEST_F(HeartbeatTest, SenderQueuesAndEndsASendingUnderWayWhenItGoes) {
  test::FixtureProcess mute("notify_server.py", {record_.string(), "--mute"});
  AppSettings settings;
  settings.notifyChannels = Ping(mute);
  {
    NoticeSender sender(log_.Sink());
    sender.Send({settings, Report(CheckOutcome::Unchanged), std::nullopt});
    sender.Send({settings, Report(CheckOutcome::PublishFailed), std::nullopt});
    while (Recorded(record_).empty()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_THAT(log_.lines, ::testing::ElementsAre("!死活監視への通知に失敗しました：中止しました"));
  EXPECT_EQ(Recorded(record_).size(), 1u);  // the second job was dropped, not sent

  // Drain waits for what was queued, each sending within its own deadline.
  NoticeSender sender(log_.Sink(), nullptr, std::chrono::milliseconds(200));
  sender.Send({settings, Report(CheckOutcome::Unchanged), std::nullopt});
  sender.Send({settings, Report(CheckOutcome::PublishFailed), std::nullopt});
  sender.Drain();
  EXPECT_EQ(Recorded(record_).size(), 3u);
  EXPECT_EQ(Recorded(record_).back()["path"], "/ping/uuid/fail");
}

// A check where site 2 failed, and its notice as the sequence words it.
struct FailedCheck {
  AppSettings settings;
  CheckReport report;
  CheckNotice notice;
  FailedCheck() {
    report = Report(CheckOutcome::PartlyPublished);
    report.previousAddress = "192.0.2.7";
    report.checkedAt = 1'800'000'000;
    SiteReport good, bad;
    good.number = 1;
    good.server = "ftp1.example.net";
    good.kind = SiteResultKind::Done;
    bad.number = 2;
    bad.server = "ftp2.example.net";
    bad.kind = SiteResultKind::ConnectFailed;
    bad.reason = "Connection refused";
    report.sites = {good, bad};
    notice = *NoticeSequence().Next(1, report);
  }
  WebhookFacts facts() const { return {notice, report, settings}; }
};

constexpr const char* kFailedTitle = "ZEPA2: 公開に失敗しました";
constexpr const char* kFailedBody = "新しいアドレス：192.0.2.8\nサイト：2（ftp2.example.net）：接続失敗";

class WebhookTest : public ChannelTest {
 protected:
  FailedCheck check_;
};

// Each kind's body as its service reads it, the Japanese intact; ntfy's title in RFC 2047 words.
TEST_F(WebhookTest, EachKindSendsTheBodyItsServiceReads) {
  test::FixtureProcess server("notify_server.py", {record_.string()});
  NotifyChannels channels;
  channels.webhookUrl = "http://" + server.hostPort() + "/hooks/secret-token";
  for (const WebhookKindRow& row : WebhookKinds()) {
    channels.webhookKind = row.kind;
    SendWebhook(channels, check_.facts(), log_.Sink(), {});
  }
  const std::vector<Json> requests = Recorded(record_);
  ASSERT_EQ(requests.size(), 4u);
  for (const Json& request : requests) {
    EXPECT_EQ(request["method"], "POST");
    EXPECT_EQ(request["path"], "/hooks/secret-token");
  }
  const Json object = Json::parse(requests[0]["body"].get<std::string>());
  EXPECT_EQ(requests[0]["headers"]["Content-Type"], "application/json");
  EXPECT_EQ(object["event"], "failed");
  EXPECT_EQ(object["summary"], kFailedTitle);
  EXPECT_EQ(object["body"], kFailedBody);
  EXPECT_EQ(object["address"], "192.0.2.8");
  EXPECT_EQ(object["previousAddress"], "192.0.2.7");
  ASSERT_EQ(object["sites"].size(), 2u);
  EXPECT_EQ(object["sites"][1]["number"], 2);
  EXPECT_EQ(object["sites"][1]["result"], "connect-failed");
  EXPECT_EQ(object["dns"], Json::array());
  EXPECT_THAT(object["time"].get<std::string>(), ::testing::StartsWith("2027-01-15T"));

  const std::string text = std::string(kFailedTitle) + "\n" + kFailedBody;
  EXPECT_EQ(Json::parse(requests[1]["body"].get<std::string>()), Json({{"content", text}}));
  EXPECT_EQ(Json::parse(requests[2]["body"].get<std::string>()), Json({{"text", text}}));
  EXPECT_EQ(requests[3]["body"], kFailedBody);
  EXPECT_EQ(requests[3]["decoded"]["Title"], kFailedTitle);
  EXPECT_THAT(log_.lines, ::testing::Each("Webhookで通知しました"));
}

// WebhookPin decides alone, as for every HTTPS server; without it the system's certificates do,
// and a self-signed server is refused before the notice goes.
TEST_F(WebhookTest, HttpsServerIsVerifiedOrPinned) {
  test::FixtureProcess server("notify_server.py", {record_.string(), "--tls", dir_.path().string()});
  NotifyChannels channels;
  channels.webhookUrl = "https://" + server.hostPort() + "/hook";
  SendWebhook(channels, check_.facts(), log_.Sink(), {});
  EXPECT_TRUE(Recorded(record_).empty());
  channels.webhookPin = test::ReadFile(dir_ / "cert.pin");
  SendWebhook(channels, check_.facts(), log_.Sink(), {});
  EXPECT_EQ(Recorded(record_).size(), 1u);
  ASSERT_EQ(log_.lines.size(), 2u);
  EXPECT_THAT(log_.lines[0], ::testing::StartsWith("!Webhookでの通知に失敗しました：サーバの鍵を確認できません"));
  EXPECT_EQ(log_.lines[1], "Webhookで通知しました");
}

class MailTest : public WebhookTest {
 protected:
  NotifyChannels Mail(const test::FixtureProcess& server, const char* scheme = "smtp") {
    NotifyChannels channels;
    channels.mailServer = std::string(scheme) + "://" + server.hostPort();
    channels.mailUser = "me";
    channels.mailPass = "env:ZEPA2_TEST_MAIL_PASS";
    channels.mailFrom = "zepa2@example.net";
    channels.mailTo = "me@example.net, you@example.org";
    return channels;
  }
  test::ScopedEnv password_{"ZEPA2_TEST_MAIL_PASS", "mail-secret"};
  const std::string login_ = "me:mail-secret";
};

std::vector<Json> Events(const std::vector<Json>& records, const char* event) {
  std::vector<Json> found;
  for (const Json& record : records)
    if (record["event"] == event) found.push_back(record);
  return found;
}

// Over STARTTLS with a pinned key and a log-in whose password is a reference: one proper MIME
// message, read back by Python's email package as the notice in Japanese.
TEST_F(MailTest, StartTlsMailIsAProperMimeMessageInUtf8) {
  test::FixtureProcess server("smtp_server.py",
                              {record_.string(), "--starttls", dir_.path().string(), "--login", login_});
  NotifyChannels channels = Mail(server);
  channels.mailPin = test::ReadFile(dir_ / "cert.pin");
  SendMailNotice(channels, check_.notice, check_.report.checkedAt, log_.Sink(), {});
  ASSERT_THAT(log_.lines, ::testing::ElementsAre("メールで通知しました"));
  const std::vector<Json> messages = Events(Recorded(record_), "message");
  ASSERT_EQ(messages.size(), 1u);
  const Json& mail = messages[0];
  EXPECT_EQ(mail["login"], "me");
  EXPECT_EQ(mail["from"], "zepa2@example.net");
  EXPECT_EQ(mail["to"], Json({"me@example.net", "you@example.org"}));
  EXPECT_EQ(mail["subject"], kFailedTitle);
  std::string body = mail["body"];
  std::erase(body, '\r');
  EXPECT_EQ(body, std::string(kFailedBody) + "\n");
  EXPECT_EQ(mail["content_type"], "text/plain");
  EXPECT_EQ(mail["charset"], "utf-8");
  EXPECT_EQ(mail["defects"], Json::array());
  EXPECT_THAT(mail["date"].get<std::string>(), ::testing::StartsWith("2027-01-15T"));
  EXPECT_THAT(mail["message_id"].get<std::string>(), ::testing::MatchesRegex("<.+@example\\.net>"));
  EXPECT_THAT(mail["raw"].get<std::string>(), ::testing::HasSubstr("Subject: =?UTF-8?B?"));
}

// A long Japanese subject is split into words a mail reader joins again.
TEST_F(MailTest, LongSubjectComesBackWhole) {
  test::FixtureProcess server("smtp_server.py", {record_.string(), "--smtps", dir_.path().string(), "--login", login_});
  NotifyChannels channels = Mail(server, "smtps");
  channels.mailPin = test::ReadFile(dir_ / "cert.pin");
  std::string title;
  for (int i = 0; i < 12; ++i) title += "公開に失敗しました、";
  SendMailNotice(channels, {Cp932(title), Cp932("本文"), true}, 0, log_.Sink(), {});
  const std::vector<Json> messages = Events(Recorded(record_), "message");
  ASSERT_EQ(messages.size(), 1u) << ::testing::PrintToString(log_.lines);
  EXPECT_EQ(messages[0]["subject"], title);
  std::istringstream raw(messages[0]["raw"].get<std::string>());
  for (std::string line; std::getline(raw, line);) EXPECT_LE(line.size(), 78u) << line;
}

// What must never go: a password to a server that does not take STARTTLS, a password to a
// server whose key cannot be verified, and a notice through a mute server past its deadline.
// Each is one red line naming no secret.
TEST_F(MailTest, RefusedTlsSendsNoPasswordAndAMuteServerEndsAtTheDeadline) {
  test::FixtureProcess plain("smtp_server.py", {record_.string(), "--login", login_});
  SendMailNotice(Mail(plain), check_.notice, 0, log_.Sink(), {});
  test::FixtureProcess selfSigned("smtp_server.py",
                                  {record_.string(), "--starttls", dir_.path().string(), "--login", login_});
  SendMailNotice(Mail(selfSigned), check_.notice, 0, log_.Sink(), {});
  EXPECT_TRUE(Recorded(record_).empty()) << test::ReadFile(record_);  // no log-in tried, no message

  test::FixtureProcess mute("smtp_server.py", {(dir_ / "mute").string(), "--mute"});
  SendMailNotice(Mail(mute), check_.notice, 0, log_.Sink(), {.deadline = std::chrono::milliseconds(300)});
  ASSERT_EQ(log_.lines.size(), 3u);
  for (const std::string& line : log_.lines) {
    EXPECT_THAT(line, ::testing::StartsWith("!メールでの通知に失敗しました："));
    EXPECT_THAT(line, ::testing::Not(HasSubstr("mail-secret")));
  }
  EXPECT_THAT(log_.lines[1], HasSubstr("サーバの鍵を確認できません"));
  EXPECT_EQ(log_.lines[2], "!メールでの通知に失敗しました：時間内に終わりませんでした");

  // MailTls=0 is the user's word that this server goes in clear.
  NotifyChannels clear = Mail(plain);
  clear.mailTls = false;
  SendMailNotice(clear, check_.notice, 0, log_.Sink(), {});
  EXPECT_EQ(log_.lines.back(), "メールで通知しました");
  EXPECT_EQ(Events(Recorded(record_), "message").size(), 1u);
}

// A wrong password or an unresolvable reference is told; the password itself is not.
TEST_F(MailTest, RefusedLogInIsARedLine) {
  test::FixtureProcess server("smtp_server.py",
                              {record_.string(), "--starttls", dir_.path().string(), "--login", "me:other"});
  NotifyChannels channels = Mail(server);
  channels.mailPin = test::ReadFile(dir_ / "cert.pin");
  SendMailNotice(channels, check_.notice, 0, log_.Sink(), {});
  channels.mailPass = "env:ZEPA2_NO_SUCH_VARIABLE";
  SendMailNotice(channels, check_.notice, 0, log_.Sink(), {});
  ASSERT_EQ(log_.lines.size(), 2u);
  EXPECT_THAT(log_.lines[0], ::testing::StartsWith("!メールでの通知に失敗しました："));
  EXPECT_THAT(log_.lines[1], HasSubstr("NOTIFY.MailPass"));
  for (const std::string& line : log_.lines) EXPECT_THAT(line, ::testing::Not(HasSubstr("mail-secret")));
  EXPECT_TRUE(Events(Recorded(record_), "message").empty());
}

}  // namespace
}  // namespace zepa2
