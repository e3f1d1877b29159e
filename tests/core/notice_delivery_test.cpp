#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <mutex>
#include <sstream>

#include "core/notify/heartbeat.h"
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

}  // namespace
}  // namespace zepa2
