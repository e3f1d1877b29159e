// zepa2-check with DNS targets against the real provider fixture: state across runs, exit status,
// the status file and the command after publishing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "core/net/http_get.h"
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
using test::ReadFile;

class DnsCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* folder : {"config", "state", "run", "work"}) fs::create_directories(dir_ / folder);
    fs::permissions(dir_ / "run", fs::perms::owner_all);
    test::WriteFile(dir_ / "site.html", "<p>$$IP_ADDRESS$$</p>\n");
    settings_.routerServer = router_.hostPort();
    // A public address: a private one never reaches an A record.
    settings_.routerPage = "ip/203.0.113.1/status.htm";
    settings_.filter1 = Cp932("WAN側IPアドレス");
    settings_.filter2 = "</table>";
    settings_.filter3 = "<td>";
    settings_.filter4 = "</td>";
    FtpSite& site = settings_.sites[0];
    site.server = ftp_.server();
    site.user = test::FtpTestServer::kUser;
    site.pass = test::FtpTestServer::kPassword;
    site.uploadFile = "index.html";
    site.localFile = (dir_ / "site.html").string();
    // The fixture speaks plain HTTP: the server text names its scheme (https:// when it names none).
    settings_.dnsTargets[0] = {.kind = DnsKind::Dyndns2, .url = "http://" + provider_.hostPort(), .user = "me",
                               .pass = "secret", .host = "home.example.net"};
    Save();
  }

  void Save() { ASSERT_TRUE(SaveSettings(settings_, dir_ / "config" / "ZEPA" / "ZEPA2.conf", {}).ok); }

  test::ProgramResult Check(std::vector<std::string> args = {}) const {
    return test::RunProgram({ZEPA2_CHECK_PROGRAM, std::move(args),
                             {{"HOME", dir_.path().string()},
                              {"XDG_CONFIG_HOME", (dir_ / "config").string()},
                              {"XDG_STATE_HOME", (dir_ / "state").string()},
                              {"XDG_RUNTIME_DIR", (dir_ / "run").string()}},
                             dir_ / "work"},
                            60s);
  }

  std::size_t Updates() const {
    const std::string log = net::HttpGetUrl("http://" + provider_.hostPort() + "/log").body;
    std::size_t n = 0;
    for (std::size_t at = log.find("/nic/update"); at != std::string::npos; at = log.find("/nic/update", at + 1)) ++n;
    return n;
  }

  Json LastRun() const { return Json::parse(ReadFile(dir_ / "state" / "ZEPA" / "last-run.json")); }

  test::TempDir dir_;
  test::FixtureProcess router_{"router_server.py"};
  test::FixtureProcess provider_{"dns_server.py"};
  test::FtpTestServer ftp_;
  AppSettings settings_;
};

// The first run updates; ten more with the same address send nothing; --force sends.
TEST_F(DnsCheckTest, UnchangedAddressSendsNothingAcrossRuns) {
  const auto first = Check();
  ASSERT_EQ(first.exitCode, 0) << first.out << first.err;
  EXPECT_EQ(Updates(), 1u);
  EXPECT_NE(first.out.find("DNS1（home.example.net）:更新成功"), std::string::npos) << first.out;
  Json run = LastRun();
  ASSERT_EQ(run["dns"].size(), 1u);
  EXPECT_EQ(run["dns"][0]["kind"], "dyndns2");
  EXPECT_EQ(run["dns"][0]["hosts"], "home.example.net");
  EXPECT_EQ(run["dns"][0]["result"], "updated");
  EXPECT_EQ(run["dns"][0]["code"], "good");
  const fs::path stateFile = dir_ / "state" / "ZEPA" / "dns-state";
  EXPECT_EQ(fs::status(stateFile).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(ReadFile(stateFile).find("secret"), std::string::npos);

  for (int n = 0; n < 10; ++n) EXPECT_EQ(Check().exitCode, 0);
  EXPECT_EQ(Updates(), 1u);
  EXPECT_EQ(LastRun()["dns"][0]["result"], "untouched");

  EXPECT_EQ(Check({"--force"}).exitCode, 0);
  EXPECT_EQ(Updates(), 2u);
}

// A stopping code holds across runs of the program: exit 1, no request, --force or not, until the
// target's settings change. The command after publishing names the failed target.
TEST_F(DnsCheckTest, StoppedTargetStaysStoppedUntilItsSettingsChange) {
  settings_.dnsTargets[0].host = "abuse.example.net";
  const fs::path hookLog = dir_ / "hook.log";
  settings_.onPublish = "echo \"$ZEPA2_RESULT|$ZEPA2_FAILED_SITES\" >> " + hookLog.string();
  Save();
  const auto first = Check();
  EXPECT_EQ(first.exitCode, 1) << first.out << first.err;
  EXPECT_NE(first.out.find("「abuse」"), std::string::npos) << first.out;
  EXPECT_EQ(ReadFile(hookLog), "ok|dns1\n");
  EXPECT_EQ(LastRun()["dns"][0]["result"], "stopped");

  settings_.routerPage = "ip/203.0.113.2/status.htm";  // a new address, and forced: still nothing
  Save();
  EXPECT_EQ(Check({"--force"}).exitCode, 1);
  EXPECT_EQ(Check().exitCode, 1);
  EXPECT_EQ(Updates(), 1u);

  settings_.dnsTargets[0].host = "home.example.net";
  Save();
  const auto woken = Check();
  EXPECT_EQ(woken.exitCode, 0) << woken.out;
  EXPECT_EQ(Updates(), 2u);
  EXPECT_EQ(woken.out.find("secret"), std::string::npos);
}

// A dns-state that is no regular file is neither waited on nor replaced: a red line names it, the
// pages and the target are served as if it were absent, and the run exits 1.
TEST_F(DnsCheckTest, DnsStateThatIsAFifoIsNeitherWaitedOnNorReplaced) {
  const fs::path state = dir_ / "state" / "ZEPA" / "dns-state";
  fs::create_directories(state.parent_path());
  ASSERT_EQ(::mkfifo(state.c_str(), 0600), 0);
  const auto run = Check();
  EXPECT_EQ(run.exitCode, 1) << run.out;
  EXPECT_NE(run.out.find(state.string()), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("DNS1（home.example.net）:更新成功"), std::string::npos) << run.out;
  EXPECT_TRUE(fs::is_fifo(state));
}

// A Cloudflare answer nested 300 000 levels deep is a red line of its target, not the end of the
// program: the page's address is kept, so the next run uploads nothing again.
TEST_F(DnsCheckTest, DeepApiAnswerFailsTheTargetAndTheStateIsKept) {
  settings_.dnsTargets[0] = {.kind = DnsKind::Cloudflare, .pass = "deep-token", .host = "www.example.org",
                             .zone = "example.org", .api = "http://" + provider_.hostPort() + "/client/v4"};
  Save();
  const auto first = Check();
  EXPECT_EQ(first.exitCode, 1) << first.out << first.err;
  EXPECT_NE(first.out.find("応答を読めません"), std::string::npos) << first.out;
  EXPECT_EQ(ReadFile(dir_ / "state" / "ZEPA" / "last-address"), "203.0.113.1");
  EXPECT_EQ(LastRun()["dns"][0]["result"], "failed");
  const auto second = Check();
  EXPECT_EQ(second.exitCode, 1) << second.out;
  EXPECT_NE(second.out.find("アドレスが変更されてないため"), std::string::npos) << second.out;
}

// An HTTPS update server that cannot be verified is refused before any password goes; --trust
// pins its key into [DNS] as it does for the pages, and the next run reaches it.
TEST_F(DnsCheckTest, TrustPinsTheUpdateServersKey) {
  test::TempDir certs;
  test::FixtureProcess httpsServer("router_server.py", {"--tls=" + certs.path().string()});
  settings_.dnsTargets[0].url = httpsServer.hostPort();  // no scheme: https://
  Save();
  const auto refused = Check();
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.out.find("サーバの証明書を確認できません"), std::string::npos) << refused.out;

  const auto trusted = Check({"--trust"});
  EXPECT_EQ(trusted.exitCode, 0) << trusted.out << trusted.err;
  const std::string pin = ReadFile(certs.path() / "cert.pin");
  const std::string stored = ReadFile(dir_ / "config" / "ZEPA" / "ZEPA2.conf");
  const std::string dns = stored.substr(stored.find("[DNS]"));
  EXPECT_NE(dns.find("\nPin1=" + pin + "\n"), std::string::npos) << stored;

  // The server is no update server: its 404 shows that the connection was trusted this time.
  const auto reached = Check();
  EXPECT_NE(reached.out.find("HTTP ステータス 404"), std::string::npos) << reached.out;
}

}  // namespace
}  // namespace zepa2
