// zepa2-check telling a monitor, a webhook and a mail server how its checks went, on 127.0.0.1.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>

#include "core/settings/settings_store.h"
#include "core/text/cp932.h"
#include "support/fixture_process.h"
#include "support/program_run.h"
#include "support/publish_support.h"
#include "support/temp_dir.h"

namespace zepa2 {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Json = nlohmann::json;
using ::testing::HasSubstr;

std::vector<Json> Recorded(const fs::path& file) {
  std::vector<Json> records;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) records.push_back(Json::parse(line));
  return records;
}

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

class NotifyCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* folder : {"config", "state", "run", "work"}) fs::create_directories(dir_ / folder);
    fs::permissions(dir_ / "run", fs::perms::owner_all);
    test::WriteFile(dir_ / "site.html", "<p>$$IP_ADDRESS$$</p>\n");
    settings_ = test::OneSiteRun(router_.hostPort(), ftp_, dir_ / "site.html");
    NotifyChannels& channels = settings_.notifyChannels;
    channels.pingUrl = "http://" + monitor_.hostPort() + "/ping/check-uuid";
    channels.webhookUrl = "http://" + monitor_.hostPort() + "/hook/hook-token";
    channels.mailServer = "smtp://" + mail_.hostPort();
    channels.mailUser = "me";
    channels.mailPass = "mail-secret";
    channels.mailFrom = "zepa2@example.net";
    channels.mailTo = "me@example.net";
    channels.mailPin = test::ReadFile(dir_ / "cert.pin");
    Save();
  }

  void Save() { ASSERT_TRUE(SaveSettings(settings_, dir_ / "config" / "ZEPA" / "ZEPA2.conf", {}).ok); }

  test::ProgramCall Call(std::vector<std::string> args) const {
    return {ZEPA2_CHECK_PROGRAM,
            std::move(args),
            {{"HOME", dir_.path().string()},
             {"XDG_CONFIG_HOME", (dir_ / "config").string()},
             {"XDG_STATE_HOME", (dir_ / "state").string()},
             {"XDG_RUNTIME_DIR", (dir_ / "run").string()}},
            dir_ / "work"};
  }

  std::vector<std::string> Pings() const {
    std::vector<std::string> paths;
    for (const Json& request : Recorded(monitorRecord_))
      if (request["method"] == "GET") paths.push_back(request["path"]);
    return paths;
  }
  std::vector<Json> Hooks() const {
    std::vector<Json> bodies;
    for (const Json& request : Recorded(monitorRecord_))
      if (request["method"] == "POST") bodies.push_back(Json::parse(request["body"].get<std::string>()));
    return bodies;
  }
  std::vector<Json> Mails() const {
    std::vector<Json> mails;
    for (const Json& record : Recorded(mailRecord_))
      if (record["event"] == "message") mails.push_back(record);
    return mails;
  }

  test::TempDir dir_;
  fs::path monitorRecord_ = dir_ / "monitor";
  fs::path mailRecord_ = dir_ / "mail";
  test::FixtureProcess router_{"router_server.py"};
  test::FtpTestServer ftp_;
  test::FixtureProcess monitor_{"notify_server.py", {monitorRecord_.string()}};
  test::FixtureProcess mail_{
      "smtp_server.py", {mailRecord_.string(), "--starttls", dir_.path().string(), "--login", "me:mail-secret"}};
  AppSettings settings_;
};

// Single runs: a failure is told by webhook and mail, the heartbeat says /fail; the run after it
// recovers and says so; the one after that has nothing to tell but its heartbeat. Every run waits
// for its sendings before it ends. The secrets go nowhere but to their servers.
TEST_F(NotifyCheckTest, SingleRunsTellFailureAndRecoveryAndAlwaysPing) {
  settings_.sites[0].pass = "wrong";
  Save();
  const test::ProgramResult failed = test::RunProgram(Call({}), 60s);
  EXPECT_EQ(failed.exitCode, 1) << failed.out;
  settings_.sites[0].pass = test::FtpTestServer::kPassword;
  Save();
  const test::ProgramResult recovered = test::RunProgram(Call({}), 60s);
  EXPECT_EQ(recovered.exitCode, 0) << recovered.out;
  const test::ProgramResult quiet = test::RunProgram(Call({}), 60s);
  EXPECT_EQ(quiet.exitCode, 0) << quiet.out;

  EXPECT_THAT(Pings(), ::testing::ElementsAre("/ping/check-uuid/fail", "/ping/check-uuid", "/ping/check-uuid"));
  const std::vector<Json> hooks = Hooks();
  ASSERT_EQ(hooks.size(), 2u) << failed.out << recovered.out;
  EXPECT_EQ(hooks[0]["event"], "failed");
  EXPECT_EQ(hooks[0]["address"], "10.0.0.1");
  EXPECT_EQ(hooks[1]["event"], "recovered");
  const std::vector<Json> mails = Mails();
  ASSERT_EQ(mails.size(), 2u);
  EXPECT_EQ(mails[0]["subject"], "ZEPA2: 公開に失敗しました");
  EXPECT_EQ(mails[1]["subject"], "ZEPA2: 復旧しました");
  EXPECT_THAT(failed.out, HasSubstr("Webhookで通知しました"));
  EXPECT_THAT(failed.out, HasSubstr("メールで通知しました"));
  for (const std::string& out : {failed.out, recovered.out, quiet.out}) {
    EXPECT_THAT(out, ::testing::Not(HasSubstr("mail-secret")));
    EXPECT_THAT(out, ::testing::Not(HasSubstr("hook-token")));
    EXPECT_THAT(out, ::testing::Not(HasSubstr("check-uuid")));
  }
  const std::string status = test::ReadFile(dir_ / "state" / "ZEPA" / "last-run.json");
  EXPECT_THAT(status, ::testing::Not(HasSubstr("hook-token")));
}

// A monitor that takes the connection and never answers holds neither the next checks
// nor the end: checks go on at their period while it hangs, and SIGTERM ends the service at once.
TEST_F(NotifyCheckTest, MuteMonitorNeverDelaysTheNextCheck) {
  test::FixtureProcess mute("notify_server.py", {(dir_ / "mute").string(), "--mute"});
  settings_.notifyChannels.pingUrl = "http://" + mute.hostPort() + "/ping";
  Save();
  test::BackgroundProgram watch(Call({"--watch", "--period", "1"}));
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  while (Count(watch.Output(), "タイマで実行") < 3 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(50ms);
  const std::string output = watch.Output();
  EXPECT_GE(Count(output, "タイマで実行"), 3u) << output;
  // Pings go one after another, each given its time: far fewer reached the mute server than checks ran.
  EXPECT_LT(Recorded(dir_ / "mute").size(), Count(output, "タイマで実行")) << output;
  watch.Signal(SIGTERM);
  EXPECT_EQ(watch.Wait(10s), 0) << watch.Output();
}

}  // namespace
}  // namespace zepa2
