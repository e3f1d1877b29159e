// The real programs against the real test servers: the window's start-up run and zepa2-check.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cerrno>
#include <cstring>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <functional>
#include <sstream>
#include <thread>

#include "core/net/http_get.h"
#include "core/settings/settings_store.h"
#include "core/text/cp932.h"
#include "support/fixture_process.h"
#include "support/free_port.h"
#include "support/program_run.h"
#include "support/publish_support.h"
#include "support/temp_dir.h"

namespace zepa2 {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::ReadFile;

class ProgramsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* folder : {"config", "state", "run", "work"}) fs::create_directories(dir_ / folder);
    fs::permissions(dir_ / "run", fs::perms::owner_all);
    test::WriteFile(dir_ / "site1.html", "<html><body>address $$IP_ADDRESS$$ at $$DAY_TIME$$</body></html>\n");
    test::WriteFile(dir_ / "site2.html", Cp932("<p>現在のアドレス: $$IP_ADDRESS$$</p>\n"));

    settings_.routerServer = router_.hostPort();
    settings_.routerPage = "status.htm";
    settings_.filter1 = Cp932("WAN側IPアドレス");
    settings_.filter2 = "</table>";
    settings_.filter3 = "<td>";
    settings_.filter4 = "</td>";
    settings_.siteCount = 2;
    const test::FtpTestServer* servers[] = {&site1_, &site2_};
    for (int i = 0; i < 2; ++i) {
      FtpSite& site = settings_.sites[i];
      site.server = servers[i]->server();
      site.user = test::FtpTestServer::kUser;
      site.pass = test::FtpTestServer::kPassword;
      site.uploadFile = "index.html";
      site.localFile = (dir_ / ("site" + std::to_string(i + 1) + ".html")).string();
    }
    SaveTheSettings();
  }

  void SaveTheSettings() {
    ASSERT_TRUE(SaveSettings(settings_, SettingsFile(), {}).ok);
  }

  // The address from the IGD fixture's root description under `mode`, checked once a day, so
  // that only events start a check.
  void UseUpnpEvents(const test::FixtureProcess& igd, const std::string& mode) {
    settings_.addressSource = AddressSource::Upnp;
    settings_.igdUrl = "http://" + igd.hostPort() + "/" + mode + "/rootDesc.xml";
    settings_.interval = 1;
    settings_.intervalUnit = 2;
    SaveTheSettings();
  }

  fs::path SettingsFile() const { return dir_ / "config" / "ZEPA" / "ZEPA2.conf"; }
  fs::path StateFile() const { return dir_ / "state" / "ZEPA" / "last-address"; }
  fs::path Page(const test::FtpTestServer& site) const { return site.home() / "index.html"; }

  test::ProgramCall Call(const fs::path& program, std::vector<std::string> args = {}) const {
    return {program, std::move(args),
            {{"HOME", dir_.path().string()},
             {"XDG_CONFIG_HOME", (dir_ / "config").string()},
             {"XDG_STATE_HOME", (dir_ / "state").string()},
             {"XDG_RUNTIME_DIR", (dir_ / "run").string()},
             {"QT_QPA_PLATFORM", "offscreen"}},
            dir_ / "work"};
  }

  test::ProgramResult Check(std::vector<std::string> args = {}) const {
    return test::RunProgram(Call(ZEPA2_CHECK_PROGRAM, std::move(args)), 60s);
  }

  void RemovePages() {
    fs::remove(Page(site1_));
    fs::remove(Page(site2_));
  }

  bool BothPagesHold(const std::string& address) const {
    return ReadFile(Page(site1_)).find(address) != std::string::npos &&
           ReadFile(Page(site2_)).find(address) != std::string::npos;
  }

  test::TempDir dir_;
  test::FixtureProcess router_{"router_server.py"};
  test::FtpTestServer site1_;
  test::FtpTestServer site2_;
  AppSettings settings_;
};

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// Polls the program's output until `part` shows `times` times; false when `limit` passed first.
bool WaitForOutput(const test::BackgroundProgram& program, const std::string& part, size_t times,
                   std::chrono::seconds limit = 60s, const std::function<void()>& meanwhile = {}) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (Count(program.Output(), part) < times) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    if (meanwhile) meanwhile();
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

#ifdef ZEPA2_WINDOW_PROGRAM
TEST_F(ProgramsTest, WindowPublishesToEverySiteAtStart) {
  settings_.runAtStart = 1;
  SaveTheSettings();
  EXPECT_EQ(ReadFile(SettingsFile()).find("Pass1=secret"), std::string::npos);  // stored scrambled

  test::BackgroundProgram window(Call(ZEPA2_WINDOW_PROGRAM, {"-Embedding"}));
  const auto deadline = std::chrono::steady_clock::now() + 90s;
  while (!BothPagesHold("10.0.0.1") && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(100ms);
  }
  EXPECT_TRUE(BothPagesHold("10.0.0.1"));
  EXPECT_NE(ReadFile(Page(site2_)).find(Cp932("現在のアドレス: 10.0.0.1")), std::string::npos);
}
#endif

TEST_F(ProgramsTest, CheckPublishesOnlyWhenTheAddressChanges) {
  const auto first = Check();
  EXPECT_EQ(first.exitCode, 0) << first.out << first.err;
  EXPECT_TRUE(BothPagesHold("10.0.0.1"));
  EXPECT_EQ(ReadFile(StateFile()), "10.0.0.1");
  EXPECT_EQ(Count(first.out, "ok    "), 4u) << first.out;  // connected, found, updated × 2
  EXPECT_NE(first.out.find("サーバ接続開始"), std::string::npos);
  EXPECT_EQ(first.out.find("secret"), std::string::npos);

  RemovePages();
  const auto second = Check();
  EXPECT_EQ(second.exitCode, 0) << second.out << second.err;
  EXPECT_NE(second.out.find("note  "), std::string::npos);
  EXPECT_NE(second.out.find("::アドレスが変更されてないため、更新しません。"), std::string::npos);
  EXPECT_FALSE(fs::exists(Page(site1_)));
  EXPECT_FALSE(fs::exists(Page(site2_)));

  const auto forced = Check({"--force"});
  EXPECT_EQ(forced.exitCode, 0) << forced.out << forced.err;
  EXPECT_NE(forced.out.find("info  "), std::string::npos);
  EXPECT_NE(forced.out.find("::マニュアルで実行"), std::string::npos);
  EXPECT_TRUE(BothPagesHold("10.0.0.1"));

  settings_.routerPage = "ip/10.9.8.7/status.htm";
  SaveTheSettings();
  const auto changed = Check();
  EXPECT_EQ(changed.exitCode, 0) << changed.out << changed.err;
  EXPECT_TRUE(BothPagesHold("10.9.8.7"));
  EXPECT_EQ(ReadFile(StateFile()), "10.9.8.7");
}

TEST_F(ProgramsTest, DryRunPrintsThePagesAndPublishesNothing) {
  const auto dry = Check({"--dry-run"});
  EXPECT_EQ(dry.exitCode, 0) << dry.out << dry.err;
  EXPECT_NE(dry.out.find("<html><body>address 10.0.0.1 at "), std::string::npos) << dry.out;
  EXPECT_NE(dry.out.find("現在のアドレス: 10.0.0.1"), std::string::npos);
  EXPECT_NE(dry.out.find("サイト：2 テスト完了"), std::string::npos);
  EXPECT_FALSE(fs::exists(Page(site1_)));
  EXPECT_FALSE(fs::exists(StateFile()));  // the next real run still publishes
}

TEST_F(ProgramsTest, FailedSiteGivesStatusOneAndIsTriedAgain) {
  settings_.sites[1].pass = "wrong";
  SaveTheSettings();
  const auto failed = Check();
  EXPECT_EQ(failed.exitCode, 1) << failed.out;
  EXPECT_NE(failed.out.find("error "), std::string::npos);
  EXPECT_NE(failed.out.find("index.html/失敗："), std::string::npos) << failed.out;  // curl's reason
  // Site 1 took the address; site 2 is owed it.
  EXPECT_EQ(ReadFile(StateFile()), "10.0.0.1");
  EXPECT_EQ(ReadFile(StateFile().parent_path() / "owed-sites"), "2\n");
  fs::remove(Page(site1_));

  settings_.sites[1].pass = test::FtpTestServer::kPassword;
  SaveTheSettings();
  const auto retried = Check();
  EXPECT_EQ(retried.exitCode, 0) << retried.out;
  EXPECT_EQ(Count(retried.out, "アドレスが変更されてないため"), 0u) << retried.out;
  EXPECT_FALSE(fs::exists(Page(site1_)));  // only the owed site is served again
  EXPECT_NE(ReadFile(Page(site2_)).find("10.0.0.1"), std::string::npos);
  EXPECT_EQ(ReadFile(StateFile().parent_path() / "owed-sites"), "");

  // Nothing is owed any more: the next run leaves both sites alone.
  const auto rested = Check();
  EXPECT_EQ(rested.exitCode, 0);
  EXPECT_EQ(Count(rested.out, "アドレスが変更されてないため"), 1u) << rested.out;
}

TEST_F(ProgramsTest, SiteWithoutServerIsAFailedRun) {
  settings_.sites[1].server.clear();
  SaveTheSettings();
  const auto run = Check();
  EXPECT_EQ(run.exitCode, 1) << run.out;
  EXPECT_EQ(ReadFile(StateFile().parent_path() / "owed-sites"), "2\n");
}

// A hand-edited line that guards a connection and cannot be read refuses what it guards, as an
// unknown number does: a red line naming the value, no connection, status 1. Site 2 is served.
TEST_F(ProgramsTest, UnreadableModeOrPinRefusesTheSite) {
  settings_.sites[0].mode = net::TransferMode::FtpTls;
  SaveTheSettings();
  const std::string saved = ReadFile(SettingsFile());
  const struct {
    const char* from;
    const char* to;
    const char* named;
  } cases[] = {
      {"Mode1=2\n", "Mode1=2 \n", "転送方式の値（2 ）が不明"},
      {"Mode1=2\n", "Mode1=2x\n", "転送方式の値（2x）が不明"},
      {"Pin1=\n", "Pin1=sha256//\\xZ\n", "鍵の値（sha256//\\xZ）を読めない"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.to);
    std::string text = saved;
    text.replace(text.find(c.from), std::string(c.from).size(), c.to);
    test::WriteFile(SettingsFile(), text);
    fs::remove(StateFile());
    const auto run = Check({"--force"});
    EXPECT_EQ(run.exitCode, 1) << run.out;
    EXPECT_NE(run.out.find(c.named), std::string::npos) << run.out;
    EXPECT_FALSE(fs::exists(Page(site1_)));
    EXPECT_TRUE(site1_.commands().empty());
    EXPECT_NE(ReadFile(Page(site2_)).find("10.0.0.1"), std::string::npos);
  }
}

// A source line that cannot be read is not taken for the router page: nothing is asked.
TEST_F(ProgramsTest, UnreadableSourceAsksNothing) {
  std::string text = ReadFile(SettingsFile());
  text.replace(text.find("Source=0\n"), 9, "Source=1 \n");
  test::WriteFile(SettingsFile(), text);
  const auto run = Check();
  EXPECT_EQ(run.exitCode, 1) << run.out;
  EXPECT_NE(run.out.find("取得方法の値（1 ）が不明"), std::string::npos) << run.out;
  EXPECT_EQ(net::HttpGetUrl("http://" + router_.hostPort() + "/log").body, "");
}

TEST_F(ProgramsTest, AddressNotFoundGivesStatusOne) {
  settings_.routerPage = "missing.htm";  // 404: empty page, markers miss
  SaveTheSettings();
  EXPECT_EQ(Check().exitCode, 1);

  settings_.routerServer = "127.0.0.1:1";  // nobody listens: the run ends after the connect line
  SaveTheSettings();
  const auto dead = Check();
  EXPECT_EQ(dead.exitCode, 1);
  EXPECT_EQ(Count(dead.out, "\n"), 1u) << dead.out;
}

TEST_F(ProgramsTest, PrintAddressPrintsItAloneAndTouchesNothing) {
  const auto page = Check({"--print-address"});
  EXPECT_EQ(page.exitCode, 0) << page.err;
  EXPECT_EQ(page.out, "10.0.0.1\n");
  EXPECT_NE(page.err.find("サーバ接続開始"), std::string::npos) << page.err;  // the log, apart
  EXPECT_FALSE(fs::exists(Page(site1_)));
  EXPECT_FALSE(fs::exists(StateFile()));

  test::FixtureProcess igd("igd_server.py");
  settings_.addressSource = AddressSource::Upnp;
  settings_.igdUrl = "http://" + igd.hostPort() + "/ip/rootDesc.xml";
  settings_.decimalAddress = 1;  // printed as it would be published
  SaveTheSettings();
  const auto upnp = Check({"--print-address"});
  EXPECT_EQ(upnp.exitCode, 0) << upnp.err;
  EXPECT_EQ(upnp.out, "3405803821\n");

  settings_.igdUrl = "http://" + igd.hostPort() + "/fault/rootDesc.xml";
  SaveTheSettings();
  const auto refused = Check({"--print-address"});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_NE(refused.err.find("501 Action Failed"), std::string::npos) << refused.err;
  EXPECT_FALSE(fs::exists(Page(site2_)));
  EXPECT_FALSE(fs::exists(StateFile()));
}

TEST_F(ProgramsTest, UsageErrorsAndMissingSettingsGiveStatusTwo) {
  const auto bad = Check({"--bogus"});
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_NE(bad.err.find("--bogus"), std::string::npos);
  // A period that is no whole number of seconds, none at all, or one without --watch.
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--watch", "--period", "0"},
                                              {"--watch", "--period", "5s"},
                                              {"--watch", "--period", "-1"},
                                              {"--watch", "--period"},
                                              {"--period", "5"}}) {
    const auto refused = Check(args);
    EXPECT_EQ(refused.exitCode, 2) << args.back();
    EXPECT_NE(refused.err.find("--period"), std::string::npos) << refused.err;
  }

  fs::remove(SettingsFile());
  const auto missing = Check();
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.err.find(SettingsFile().string()), std::string::npos) << missing.err;
  EXPECT_TRUE(missing.out.empty());

  EXPECT_EQ(Check({"--help"}).exitCode, 0);
  EXPECT_NE(Check({"--version"}).out.find("zepa2-check "), std::string::npos);
}

// A settings folder the user cannot enter is told apart from a missing file. The program runs
// without the capabilities that let root pass permission bits, so the folder's mode counts.
TEST_F(ProgramsTest, UnreadableSettingsFolderIsReportedAsSuch) {
  if (!fs::exists("/usr/bin/setpriv")) GTEST_SKIP() << "setpriv (util-linux) is needed to drop capabilities";
  fs::permissions(SettingsFile().parent_path(), fs::perms::none);
  test::ProgramCall call = Call("/usr/bin/setpriv",
                                {"--inh-caps=-dac_override,-dac_read_search",
                                 "--bounding-set=-dac_override,-dac_read_search", ZEPA2_CHECK_PROGRAM});
  const auto run = test::RunProgram(call, 60s);
  fs::permissions(SettingsFile().parent_path(), fs::perms::owner_all);
  EXPECT_EQ(run.exitCode, 2) << run.err;
  EXPECT_NE(run.err.find("cannot read the settings folder " + SettingsFile().parent_path().string()),
            std::string::npos)
      << run.err;
  EXPECT_EQ(run.err.find("no settings file"), std::string::npos) << run.err;
}

TEST_F(ProgramsTest, WatchEndsCleanlyOnSigterm) {
  settings_.interval = 1;
  settings_.intervalUnit = 0;
  SaveTheSettings();
  test::BackgroundProgram watch(Call(ZEPA2_CHECK_PROGRAM, {"--watch"}));
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  while (Count(watch.Output(), "ホームページの更新に成功しました。") < 2 &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(50ms);
  }
  ASSERT_TRUE(BothPagesHold("10.0.0.1")) << watch.Output();
  watch.Signal(SIGTERM);
  EXPECT_EQ(watch.Wait(10s), 0);
}

// The service's surroundings, all during one period (of --period's seconds; the settings say an
// hour): the settings file goes missing (a dotfiles tool rewriting it) and SIGHUP asks for it; it
// comes back with another router page, and SIGHUP again; stop and continue (Ctrl-Z then fg)
// interrupt the wait again and again. The service reports the missing file and goes on, the time
// already waited still counts (a wait started over at each interruption would never end), and the
// timed check uses the new settings.
TEST_F(ProgramsTest, WatchLivesThroughReloadsMissingSettingsAndStops) {
  settings_.interval = 1;
  settings_.intervalUnit = 1;  // an hour, which --period overrides
  SaveTheSettings();
  test::BackgroundProgram watch(Call(ZEPA2_CHECK_PROGRAM, {"--watch", "--period", "6"}));
  ASSERT_TRUE(WaitForOutput(watch, "ホームページの更新に成功しました。", 2)) << watch.Output();

  fs::remove(SettingsFile());
  watch.Signal(SIGHUP);
  ASSERT_TRUE(WaitForOutput(watch, "no settings file at " + SettingsFile().string(), 1)) << watch.Output();
  EXPECT_NE(watch.Output().find("error "), std::string::npos);

  settings_.routerPage = "ip/10.9.8.7/status.htm";
  SaveTheSettings();
  watch.Signal(SIGHUP);
  auto lastPause = std::chrono::steady_clock::now();
  const bool checked = WaitForOutput(watch, "::タイマで実行", 1, 60s, [&] {
    if (std::chrono::steady_clock::now() - lastPause < 400ms) return;
    watch.Signal(SIGSTOP);
    std::this_thread::sleep_for(100ms);
    watch.Signal(SIGCONT);
    lastPause = std::chrono::steady_clock::now();
  });
  ASSERT_TRUE(checked) << watch.Output();
  EXPECT_TRUE(WaitForOutput(watch, "ホームページの更新に成功しました。", 4)) << watch.Output();
  EXPECT_TRUE(BothPagesHold("10.9.8.7"));

  watch.Signal(SIGTERM);
  EXPECT_EQ(watch.Wait(10s), 0);
  EXPECT_NE(watch.Output().find("停止の指示を受けたため終了します。"), std::string::npos);
}

// A stop signal in the middle of a check (here one waiting on a router that never answers) ends
// the program with a last line and status 0; the check gives up its transfer when asked.
TEST_F(ProgramsTest, StopDuringACheckEndsWithALastLine) {
  settings_.routerPage = "hang.htm";
  SaveTheSettings();
  test::BackgroundProgram watch(Call(ZEPA2_CHECK_PROGRAM, {"--watch"}));
  ASSERT_TRUE(WaitForOutput(watch, "サーバ接続開始", 1)) << watch.Output();
  std::this_thread::sleep_for(200ms);  // well inside the request
  watch.Signal(SIGTERM);
  EXPECT_EQ(watch.Wait(60s), 0);
  EXPECT_NE(watch.Output().find("停止の指示を受けたため終了します。"), std::string::npos) << watch.Output();
}

// The window and the service, or two runs of zepa2-check, share the working folder and the
// runtime folder; each must still upload its own pages.
TEST_F(ProgramsTest, TwoRunsAtOnceEachPublishTheirOwnPages) {
  test::FtpTestServer otherSite1, otherSite2;
  AppSettings other = settings_;
  other.sites[0].server = otherSite1.server();
  other.sites[1].server = otherSite2.server();
  test::WriteFile(dir_ / "other1.html", "<p>other one $$IP_ADDRESS$$</p>\n");
  test::WriteFile(dir_ / "other2.html", "<p>other two $$IP_ADDRESS$$</p>\n");
  other.sites[0].localFile = (dir_ / "other1.html").string();
  other.sites[1].localFile = (dir_ / "other2.html").string();
  ASSERT_TRUE(SaveSettings(other, dir_ / "config2" / "ZEPA" / "ZEPA2.conf", {}).ok);
  // A link where the page used to be built points at a file that must stay as it is.
  test::WriteFile(dir_ / "victim", "keep me");
  fs::create_symlink(dir_ / "victim", dir_ / "work" / "temp.html");

  test::ProgramCall otherCall = Call(ZEPA2_CHECK_PROGRAM, {"--force"});
  otherCall.env["XDG_CONFIG_HOME"] = (dir_ / "config2").string();
  otherCall.env["XDG_STATE_HOME"] = (dir_ / "state2").string();
  for (int round = 0; round < 3; ++round) {
    test::BackgroundProgram first(Call(ZEPA2_CHECK_PROGRAM, {"--force"}));
    test::BackgroundProgram second(otherCall);
    EXPECT_EQ(first.Wait(60s), 0) << first.Output();
    EXPECT_EQ(second.Wait(60s), 0) << second.Output();
    EXPECT_NE(ReadFile(Page(site1_)).find("<html><body>address 10.0.0.1"), std::string::npos);
    EXPECT_NE(ReadFile(Page(site2_)).find(Cp932("現在のアドレス: 10.0.0.1")), std::string::npos);
    EXPECT_EQ(ReadFile(Page(otherSite1)), "<p>other one 10.0.0.1</p>\n\n");
    EXPECT_EQ(ReadFile(Page(otherSite2)), "<p>other two 10.0.0.1</p>\n\n");
  }
  EXPECT_EQ(ReadFile(dir_ / "victim"), "keep me");
  EXPECT_TRUE(fs::is_symlink(dir_ / "work" / "temp.html"));
  EXPECT_TRUE(fs::is_empty(dir_ / "run" / "ZEPA"));  // every run removed its folder
}

// Every run leaves its report in last-run.json; every publish runs the command after publishing,
// which learns the outcome from its environment.
TEST_F(ProgramsTest, CheckKeepsTheLastRunAndRunsTheCommandAfterPublishing) {
  const fs::path hookLog = dir_ / "hook.log";
  settings_.onPublish = "echo \"$ZEPA2_RESULT|$ZEPA2_ADDRESS|$ZEPA2_PREVIOUS_ADDRESS|$ZEPA2_FAILED_SITES\" >> " +
                        hookLog.string();
  SaveTheSettings();
  const fs::path runFile = dir_ / "state" / "ZEPA" / "last-run.json";
  auto lastRun = [&] { return nlohmann::json::parse(ReadFile(runFile)); };

  const auto full = Check();
  ASSERT_EQ(full.exitCode, 0) << full.out << full.err;
  nlohmann::json run = lastRun();
  EXPECT_EQ(run["outcome"], "published");
  EXPECT_EQ(run["address"], "10.0.0.1");
  ASSERT_EQ(run["sites"].size(), 2u);
  EXPECT_EQ(run["sites"][1]["server"], site2_.server());
  EXPECT_EQ(run["sites"][1]["result"], "done");
  EXPECT_EQ(run["sites"][1]["mode"], "ftp-active");
  EXPECT_EQ(run["last_published_at"], run["checked_at"]);
  EXPECT_EQ(fs::status(runFile).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_NE(full.out.find("公開後のコマンドが終了しました（終了コード 0）"), std::string::npos) << full.out;

  settings_.routerPage = "ip/10.0.0.2/status.htm";
  settings_.sites[1].pass = "wrong";
  SaveTheSettings();
  const auto partly = Check();
  EXPECT_EQ(partly.exitCode, 1) << partly.out << partly.err;
  run = lastRun();
  EXPECT_EQ(run["outcome"], "partly-published");
  EXPECT_EQ(run["sites"][0]["result"], "done");
  EXPECT_EQ(run["sites"][1]["result"], "connect-failed");
  EXPECT_FALSE(run["sites"][1]["reason"].get<std::string>().empty());
  EXPECT_EQ(run.dump().find("wrong"), std::string::npos);  // no password in the file
  const nlohmann::json partlyPublishedAt = run["last_published_at"];

  settings_.routerPage = "missing.htm";
  SaveTheSettings();
  const auto failedFetch = Check();
  EXPECT_EQ(failedFetch.exitCode, 1);
  run = lastRun();
  EXPECT_EQ(run["outcome"], "address-not-found");
  EXPECT_TRUE(run["address"].is_null());
  EXPECT_TRUE(run["sites"].empty());
  EXPECT_EQ(run["last_published_at"], partlyPublishedAt);

  // Two publishes, two runs of the command; the failed fetch published nothing.
  EXPECT_EQ(ReadFile(hookLog), "ok|10.0.0.1||\npartial|10.0.0.2|10.0.0.1|2\n");

  const auto status = Check({"--status"});
  EXPECT_EQ(status.exitCode, 0);
  EXPECT_EQ(status.out, ReadFile(runFile));
}

TEST(CheckStatus, PrintsTheLastRunAsItIsOrAsATable) {
  test::TempDir dir;
  const test::ProgramCall call{ZEPA2_CHECK_PROGRAM, {"--status"}, {{"XDG_STATE_HOME", dir.path().string()}}, {}};
  const auto none = test::RunProgram(call, 30s);
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_TRUE(none.out.empty());
  EXPECT_NE(none.err.find("last-run.json"), std::string::npos) << none.err;

  const std::string file =
      "{\"outcome\": \"published\", \"address\": \"10.0.0.1\", \"checked_at\": \"2026-01-02T03:04:05+09:00\",\n"
      " \"sites\": [{\"number\": 1, \"server\": \"ftp\", \"mode\": \"ftp-active\", \"result\": \"done\"}]}\n";
  fs::create_directories(dir / "ZEPA");
  test::WriteFile(dir / "ZEPA" / "last-run.json", file);
  const auto asIs = test::RunProgram(call, 30s);
  EXPECT_EQ(asIs.exitCode, 0);
  EXPECT_EQ(asIs.out, file);

  test::ProgramCall human = call;
  human.args.push_back("--human");
  const auto table = test::RunProgram(human, 30s);
  EXPECT_EQ(table.exitCode, 0);
  EXPECT_NE(table.out.find("結果\tホームページの更新に成功しました。\n"), std::string::npos) << table.out;
  EXPECT_NE(table.out.find("1\tftp\tftp-active\t成功\t-\n"), std::string::npos) << table.out;

  test::ProgramCall mixed = call;
  mixed.args.push_back("--force");
  EXPECT_EQ(test::RunProgram(mixed, 30s).exitCode, 2);
}

// FTPS and SFTP sites and an HTTPS router, none pinned: refused with the reason, then --trust
// prints and stores each key, and the next run publishes.
TEST_F(ProgramsTest, TrustPinsTheKeysItPrintsAndTheNextRunPublishes) {
  test::FtpTestServer tlsSite(test::FtpServerOptions{.tls = true});
  test::SftpTestServer sshSite;
  test::TempDir certs;
  test::FixtureProcess httpsRouter("router_server.py", {"--tls=" + certs.path().string()});
  settings_.sites[0].server = tlsSite.server();
  settings_.sites[0].mode = net::TransferMode::FtpTls;
  settings_.sites[1].server = sshSite.server();
  settings_.sites[1].mode = net::TransferMode::Sftp;
  settings_.sites[1].uploadFile = "/home/zepa/index.html";
  SaveTheSettings();

  const auto refused = Check();
  EXPECT_EQ(refused.exitCode, 1) << refused.out;
  EXPECT_NE(refused.out.find("サーバの証明書を確認できないため"), std::string::npos) << refused.out;
  EXPECT_NE(refused.out.find("zepa2-check --trust"), std::string::npos) << refused.out;
  EXPECT_FALSE(fs::exists(tlsSite.home() / "index.html"));

  settings_.routerServer = "https://" + httpsRouter.hostPort();
  SaveTheSettings();

  const auto trusted = Check({"--trust"});
  EXPECT_EQ(trusted.exitCode, 0) << trusted.out << trusted.err;
  const std::string routerPin = ReadFile(certs.path() / "cert.pin");
  for (const std::string& pin : {tlsSite.pin(), sshSite.pin(), routerPin}) {
    EXPECT_NE(trusted.out.find(pin), std::string::npos) << trusted.out;
  }
  const std::string stored = ReadFile(SettingsFile());
  EXPECT_NE(stored.find("Pin1=" + tlsSite.pin() + "\n"), std::string::npos) << stored;
  EXPECT_NE(stored.find("Pin2=" + sshSite.pin() + "\n"), std::string::npos) << stored;
  EXPECT_NE(stored.find("Pin=" + routerPin + "\n"), std::string::npos) << stored;
  EXPECT_EQ(stored.find("Pass1=secret"), std::string::npos);  // still scrambled: the usual save

  const auto published = Check();
  EXPECT_EQ(published.exitCode, 0) << published.out;
  EXPECT_NE(ReadFile(tlsSite.home() / "index.html").find("10.0.0.1"), std::string::npos);
  EXPECT_NE(ReadFile(sshSite.home() / "index.html").find(Cp932("現在のアドレス: 10.0.0.1")),
            std::string::npos);
}

// Web space over WebDAV and S3: the pages stored are the bytes the dry run shows, the S3 page is
// proved at its public address, the status file names the modes, and a WebDAV folder that is not
// there fails the site with a line that says so.
TEST_F(ProgramsTest, CheckPublishesToWebDavAndS3AsTheDryRunShows) {
  test::WebDavTestServer dav;
  test::S3TestServer s3({.region = "auto"});
  fs::create_directories(dav.www() / "site");
  test::WriteFile(dir_ / "site1.html", "<p>$$IP_ADDRESS$$</p>\r\n<p>1</p>\r\n");
  FtpSite& webdav = settings_.sites[0];
  webdav = {dav.server(), "zepa", "secret", "/site/index.html", (dir_ / "site1.html").string(),
            net::TransferMode::WebDav};
  FtpSite& bucket = settings_.sites[1];
  bucket = {s3.server(), test::S3TestServer::kAccessKey, test::S3TestServer::kSecret, "/www/ip.html",
            (dir_ / "site2.html").string(), net::TransferMode::S3};
  bucket.region = "auto";
  bucket.checkUrl = s3.server() + "/www/ip.html";
  SaveTheSettings();
  EXPECT_NE(ReadFile(SettingsFile()).find("Region2=auto\n"), std::string::npos);

  const auto dry = Check({"--dry-run"});
  EXPECT_EQ(dry.exitCode, 0) << dry.out << dry.err;
  const auto published = Check();
  EXPECT_EQ(published.exitCode, 0) << published.out << published.err;
  const std::string davPage = ReadFile(dav.www() / "site" / "index.html");
  const std::string s3Page = ReadFile(s3.bucket("www") / "ip.html");
  EXPECT_NE(davPage.find("<p>10.0.0.1</p>\r\n"), std::string::npos) << davPage;
  EXPECT_EQ(davPage.find("\r\r"), std::string::npos);  // no line end rewritten on the way
  EXPECT_NE(s3Page.find(Cp932("現在のアドレス: 10.0.0.1")), std::string::npos);
  for (const std::string& page : {davPage, s3Page}) {
    EXPECT_NE(dry.out.find(Cp932ToUtf8(page)), std::string::npos) << dry.out;
  }
  const auto run = nlohmann::json::parse(ReadFile(dir_ / "state" / "ZEPA" / "last-run.json"));
  EXPECT_EQ(run["sites"][0]["mode"], "webdav");
  EXPECT_EQ(run["sites"][1]["mode"], "s3");
  EXPECT_EQ(run["sites"][1]["confirmed"], true) << run.dump();
  EXPECT_EQ(run["outcome"], "published") << run.dump();

  webdav.uploadFile = "/missing/index.html";
  SaveTheSettings();
  const auto missing = Check({"--force"});
  EXPECT_EQ(missing.exitCode, 1) << missing.out;
  EXPECT_NE(missing.out.find(":WebDAV失敗：the folder does not exist (HTTP/1.1 409 Conflict)"), std::string::npos)
      << missing.out;
  EXPECT_FALSE(fs::exists(dav.www() / "missing"));
}

// What a state file may turn out to be when something else (another tool, a mistake, an attacker)
// put it there. Never the machine's own /dev entries: a private node and FIFO in the test's folder.
enum class StateKind { Fifo, Device, Folder, Huge, LinkToRegular };

const char* NameOf(StateKind kind) {
  switch (kind) {
    case StateKind::Fifo: return "fifo";
    case StateKind::Device: return "device";
    case StateKind::Folder: return "folder";
    case StateKind::Huge: return "1 GiB sparse file";
    case StateKind::LinkToRegular: return "link to a regular file";
  }
  return "";
}

// Puts kind at file; false when the machine does not allow it (a device node needs privilege).
bool Plant(StateKind kind, const fs::path& file, const fs::path& aside) {
  fs::create_directories(file.parent_path());
  switch (kind) {
    case StateKind::Fifo: return ::mkfifo(file.c_str(), 0600) == 0;
    case StateKind::Device: return ::mknod(file.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    case StateKind::Folder: return fs::create_directory(file);
    case StateKind::Huge: {
      test::WriteFile(file, "");
      fs::resize_file(file, 1ull << 30);
      return true;
    }
    case StateKind::LinkToRegular:
      test::WriteFile(aside, "10.0.0.99");
      fs::create_symlink(aside, file);
      return true;
  }
  return false;
}

bool IsKind(StateKind kind, const fs::path& file) {
  const fs::file_status status = fs::symlink_status(file);
  switch (kind) {
    case StateKind::Fifo: return fs::is_fifo(status);
    case StateKind::Device: return fs::is_character_file(status);
    case StateKind::Folder: return fs::is_directory(status);
    case StateKind::Huge: return fs::is_regular_file(status);
    case StateKind::LinkToRegular: return fs::is_symlink(status);
  }
  return false;
}

// Every state file as every kind: a one-shot run never hangs, names the file in a red line, never
// replaces what is not a regular file (and then exits 1), and still publishes.
TEST_F(ProgramsTest, StateFilesThatAreNotFilesAreNeitherWaitedOnNorReplaced) {
  const StateKind kinds[] = {StateKind::Fifo, StateKind::Device, StateKind::Folder, StateKind::Huge,
                             StateKind::LinkToRegular};
  const char* names[] = {"last-address", "last-ipv6-address", "owed-sites", "last-run.json"};
  for (const StateKind kind : kinds) {
    for (const char* name : names) {
      SCOPED_TRACE(std::string(NameOf(kind)) + " at " + name);
      fs::remove_all(dir_ / "state");
      RemovePages();
      const fs::path file = dir_ / "state" / "ZEPA" / name;
      const fs::path aside = dir_ / "aside" / name;
      fs::create_directories(aside.parent_path());
      if (!Plant(kind, file, aside)) {
        std::fprintf(stderr, "skipped: %s cannot be made here (%s)\n", NameOf(kind), std::strerror(errno));
        continue;
      }
      const auto run = Check({"--force"});
      EXPECT_TRUE(BothPagesHold("10.0.0.1")) << run.out << run.err;
      EXPECT_TRUE(IsKind(kind, file));
      const bool replaceable = kind == StateKind::Huge || kind == StateKind::LinkToRegular;
      EXPECT_EQ(run.exitCode, replaceable ? 0 : 1) << run.out << run.err;
      if (!replaceable) {
        EXPECT_NE(run.out.find(file.string()), std::string::npos) << run.out;
      }
      if (kind == StateKind::LinkToRegular) {
        EXPECT_NE(ReadFile(aside), "10.0.0.99");  // written through
      }
    }
  }
}

// The status command and the service meet a FIFO as the status file: neither waits on it.
TEST_F(ProgramsTest, StatusAndWatchDoNotWaitOnAFifo) {
  const fs::path status = dir_ / "state" / "ZEPA" / "last-run.json";
  fs::create_directories(status.parent_path());
  ASSERT_EQ(::mkfifo(status.c_str(), 0600), 0);
  const auto shown = test::RunProgram(Call(ZEPA2_CHECK_PROGRAM, {"--status"}), 10s);
  EXPECT_EQ(shown.exitCode, 1) << shown.err;
  EXPECT_NE(shown.err.find(status.string()), std::string::npos) << shown.err;

  ASSERT_EQ(::mkfifo((dir_ / "state" / "ZEPA" / "last-address").c_str(), 0600), 0);
  test::BackgroundProgram watch(Call(ZEPA2_CHECK_PROGRAM, {"--watch"}));
  ASSERT_TRUE(WaitForOutput(watch, "ホームページの更新に成功しました。", 2, 30s)) << watch.Output();
  const auto asked = std::chrono::steady_clock::now();
  watch.Signal(SIGTERM);
  EXPECT_EQ(watch.Wait(10s), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - asked, 2s);
}

#ifdef ZEPA2_WINDOW_PROGRAM
// The window with FIFOs for its log and the status file: it appears, publishes and quits.
TEST_F(ProgramsTest, WindowDoesNotWaitOnAFifoLogOrStatusFile) {
  settings_.runAtStart = true;
  SaveTheSettings();
  const fs::path state = dir_ / "state" / "ZEPA";
  fs::create_directories(state);
  ASSERT_EQ(::mkfifo((state / "zepa2.log").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo((state / "last-run.json").c_str(), 0600), 0);
  test::BackgroundProgram window(Call(ZEPA2_WINDOW_PROGRAM, {"-Embedding"}));
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  while (!BothPagesHold("10.0.0.1") && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(100ms);
  }
  EXPECT_TRUE(BothPagesHold("10.0.0.1"));
  const auto asked = std::chrono::steady_clock::now();
  window.Signal(SIGTERM);
  window.Wait(10s);
  EXPECT_LT(std::chrono::steady_clock::now() - asked, 2s);
  EXPECT_TRUE(fs::is_fifo(state / "zepa2.log"));
  EXPECT_TRUE(fs::is_fifo(state / "last-run.json"));
}
#endif

// A stop request ends every handshake that never finishes as it ends a transfer: the router's
// HTTPS (a plain server reads the client's hello as a request line and waits for its end), FTP's
// control TLS after 234 (which libcurl runs blocking), the data connection's TLS after EPSV, and
// an SSH banner that never comes. The bound is generous; bench/stalled_site.sh measures it.
TEST_F(ProgramsTest, StopEndsAStalledHandshake) {
  test::TempDir certs;
  test::FixtureProcess after234("stall_server.py", {"after-234"});
  test::FixtureProcess afterEpsv("stall_server.py", {"after-epsv", "--tls=" + certs.path().string()});
  test::FixtureProcess silent("stall_server.py", {"silent"});
  const std::string fakePin = "sha256//" + std::string(43, 'A') + "=";
  const struct {
    const char* name;
    std::function<void(AppSettings&)> set;
    size_t startLines;  // the stall comes after this many lines of a connection's start
  } cases[] = {
      {"router over https", [&](AppSettings& s) { s.routerServer = "https://" + router_.hostPort(); }, 1},
      {"FTPS after 234",
       [&](AppSettings& s) {
         s.sites[0].mode = net::TransferMode::FtpTls;
         s.sites[0].server = after234.hostPort();
       },
       2},
      {"FTPS after EPSV",
       [&](AppSettings& s) {
         s.sites[0].mode = net::TransferMode::FtpTls;
         s.sites[0].server = afterEpsv.hostPort();
         s.sites[0].pin = ReadFile(certs.path() / "cert.pin");
       },
       2},
      {"SFTP banner",
       [&](AppSettings& s) {
         s.sites[0].mode = net::TransferMode::Sftp;
         s.sites[0].server = silent.hostPort();
         s.sites[0].pin = fakePin;
       },
       2},
  };
  const AppSettings plain = settings_;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    settings_ = plain;
    c.set(settings_);
    SaveTheSettings();
    test::BackgroundProgram watch(Call(ZEPA2_CHECK_PROGRAM, {"--watch"}));
    ASSERT_TRUE(WaitForOutput(watch, "開始", c.startLines)) << watch.Output();
    std::this_thread::sleep_for(700ms);  // inside the handshake
    const auto asked = std::chrono::steady_clock::now();
    watch.Signal(SIGTERM);
    EXPECT_EQ(watch.Wait(20s), 0) << watch.Output();
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 5s) << watch.Output();
  }
}

// The passwords stay in the process: no core file can be written and no other process of the
// user may read its memory.
TEST_F(ProgramsTest, TheServiceKeepsItsSecretsInItsOwnMemory) {
  test::BackgroundProgram watch(Call(ZEPA2_CHECK_PROGRAM, {"--watch"}));
  ASSERT_TRUE(WaitForOutput(watch, "ホームページの更新に成功しました。", 2, 30s)) << watch.Output();
  const std::string limits = ReadFile("/proc/" + std::to_string(watch.pid()) + "/limits");
  EXPECT_NE(limits.find("Max core file size        0                    0"), std::string::npos) << limits;
  // Not dumpable: the kernel hands its /proc entries to root, whoever runs it.
  struct stat info {};
  ASSERT_EQ(::stat(("/proc/" + std::to_string(watch.pid()) + "/environ").c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, 0u);
}

// SIGUSR1 asks the service for a check at once, with the period at a day: the router's page now
// shows another address, and it is published.
TEST_F(ProgramsTest, SigusrOneStartsACheckAtOnce) {
  settings_.interval = 1;
  settings_.intervalUnit = 2;
  SaveTheSettings();
  test::BackgroundProgram watch(Call(ZEPA2_CHECK_PROGRAM, {"--watch"}));
  ASSERT_TRUE(WaitForOutput(watch, "ホームページの更新に成功しました。", 2, 30s)) << watch.Output();
  settings_.routerPage = "ip/10.9.8.7/status.htm";
  SaveTheSettings();
  watch.Signal(SIGUSR1);
  ASSERT_TRUE(WaitForOutput(watch, "確認の指示（SIGUSR1）を受けました", 1, 5s)) << watch.Output();
  EXPECT_TRUE(WaitForOutput(watch, "ホームページの更新に成功しました。", 4, 30s)) << watch.Output();
  EXPECT_TRUE(BothPagesHold("10.9.8.7"));
  watch.Signal(SIGTERM);
  EXPECT_EQ(watch.Wait(10s), 0);
}

// The seconds of a log line's stamp ("YYYY/MM/DD hh:mm:ss::") since midnight.
int StampSeconds(const std::string& line) {
  const std::size_t at = line.find("::");
  if (at == std::string::npos || at < 8) return -1;
  const std::string time = line.substr(at - 8, 8);
  return std::stoi(time.substr(0, 2)) * 3600 + std::stoi(time.substr(3, 2)) * 60 + std::stoi(time.substr(6, 2));
}

std::vector<std::string> LinesWith(const std::string& text, const std::string& part) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.find(part) != std::string::npos) lines.push_back(line);
  }
  return lines;
}

// A site that is down is tried again after 1, 2, 4 … times the first wait (a second here, a
// minute unless told), not a day later; once it is back, one upload and the period again.
TEST_F(ProgramsTest, FailedSiteIsTriedAgainSoonerEachTimeLongerUntilItIsBack) {
  const int port = test::UnusedLocalPort();
  settings_.interval = 1;
  settings_.intervalUnit = 2;
  settings_.siteCount = 1;
  settings_.sites[0].server = "127.0.0.1:" + std::to_string(port);
  SaveTheSettings();
  test::BackgroundProgram watch(Call(ZEPA2_CHECK_PROGRAM, {"--watch", "--retry-seconds", "1"}));
  ASSERT_TRUE(WaitForOutput(watch, "失敗した確認の再試行", 3, 30s)) << watch.Output();
  ASSERT_TRUE(WaitForOutput(watch, "失敗したため、8秒後にもう一度確認します。", 1, 30s)) << watch.Output();
  test::FtpTestServer back(test::FtpServerOptions{.port = port});
  ASSERT_TRUE(WaitForOutput(watch, "ホームページの更新に成功しました。", 1, 30s)) << watch.Output();

  const std::string log = watch.Output();
  const std::vector<std::string> told = LinesWith(log, "秒後にもう一度確認します。");
  const std::vector<std::string> retried = LinesWith(log, "失敗した確認の再試行");
  ASSERT_EQ(told.size(), 4u) << log;
  ASSERT_EQ(retried.size(), 4u) << log;
  for (std::size_t n = 0; n < told.size(); ++n) {
    const int wanted = 1 << n;
    EXPECT_NE(told[n].find("、" + std::to_string(wanted) + "秒後"), std::string::npos) << told[n];
    // Stamps are whole seconds: a wait of w shows as w-1 to w+1.
    const int waited = StampSeconds(retried[n]) - StampSeconds(told[n]);
    EXPECT_GE(waited, wanted - 1) << told[n] << "\n" << retried[n];
    EXPECT_LE(waited, wanted + 1) << told[n] << "\n" << retried[n];
  }
  std::this_thread::sleep_for(3s);
  EXPECT_EQ(Count(watch.Output(), "ホームページの更新に成功しました。"), 1u) << watch.Output();
  EXPECT_EQ(Count(watch.Output(), "失敗した確認の再試行"), 4u) << "back to the period of a day";
  EXPECT_NE(ReadFile(back.home() / "index.html").find("10.0.0.1"), std::string::npos);
  watch.Signal(SIGTERM);
  EXPECT_EQ(watch.Wait(10s), 0);
}

// The router's record of SUBSCRIBE requests (igd_server.py's log).
std::string IgdLog(const test::FixtureProcess& igd) {
  return net::HttpGetUrl("http://" + igd.hostPort() + "/log").body;
}

// A router that takes the subscription sends an event with a new address: one check publishes it,
// with the period at a day; a short subscription time is renewed before it runs out.
TEST_F(ProgramsTest, UpnpEventWithANewAddressStartsACheck) {
  test::FixtureProcess igd("igd_server.py");
  UseUpnpEvents(igd, "events/2");  // granted 2 s
  test::BackgroundProgram watch(Call(ZEPA2_CHECK_PROGRAM, {"--watch"}));
  ASSERT_TRUE(WaitForOutput(watch, "ルータがUPnPで新しいアドレスを知らせました", 1, 30s)) << watch.Output();
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (!BothPagesHold("203.0.113.99") && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(50ms);
  EXPECT_TRUE(BothPagesHold("203.0.113.99")) << watch.Output();
  std::this_thread::sleep_for(3s);  // a second event check or a lapsed subscription would show by now
  EXPECT_EQ(Count(watch.Output(), "ルータがUPnPで新しいアドレスを知らせました"), 1u) << watch.Output();
  const std::string log = IgdLog(igd);
  EXPECT_EQ(Count(log, "SUBSCRIBE new"), 1u) << log;
  EXPECT_GE(Count(log, "SUBSCRIBE renew"), 2u) << log;
  EXPECT_EQ(Count(log, "SUBSCRIBE late"), 0u) << log;
  watch.Signal(SIGTERM);
  EXPECT_EQ(watch.Wait(10s), 0);
}

// Eight connections from the router that send the first line of a NOTIFY and nothing more do not
// hold the callback: the real event after them is taken, and each half-sent one is closed after
// its deadline.
TEST_F(ProgramsTest, HalfSentEventsNeitherHoldTheCallbackNorStayOpen) {
  test::FixtureProcess igd("igd_server.py");
  UseUpnpEvents(igd, "halfsent");
  test::BackgroundProgram watch(Call(ZEPA2_CHECK_PROGRAM, {"--watch"}));
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  while (!BothPagesHold("203.0.113.99") && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(50ms);
  EXPECT_TRUE(BothPagesHold("203.0.113.99")) << watch.Output();
  while (Count(IgdLog(igd), "half-sent closed") < 8 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(100ms);
  EXPECT_EQ(Count(IgdLog(igd), "half-sent closed"), 8u) << IgdLog(igd);
  watch.Signal(SIGTERM);
  EXPECT_EQ(watch.Wait(10s), 0);
}

// A router that refuses subscriptions (most do) gets one note and no second request within the
// subscription time; the checks go on as before.
TEST_F(ProgramsTest, RefusedUpnpSubscriptionIsOneNoteAndChecksGoOn) {
  test::FixtureProcess igd("igd_server.py");
  UseUpnpEvents(igd, "refuse");
  test::BackgroundProgram watch(Call(ZEPA2_CHECK_PROGRAM, {"--watch"}));
  ASSERT_TRUE(WaitForOutput(watch, "イベント購読を受け付けませんでした", 1, 30s)) << watch.Output();
  EXPECT_NE(watch.Output().find("501"), std::string::npos) << watch.Output();
  EXPECT_TRUE(BothPagesHold("203.0.113.45"));
  watch.Signal(SIGUSR1);
  ASSERT_TRUE(WaitForOutput(watch, "アドレスが変更されてないため、更新しません。", 1, 10s)) << watch.Output();
  std::this_thread::sleep_for(2s);
  EXPECT_EQ(Count(watch.Output(), "イベント購読を受け付けませんでした"), 1u) << watch.Output();
  EXPECT_EQ(Count(IgdLog(igd), "SUBSCRIBE"), 1u) << IgdLog(igd);
  watch.Signal(SIGTERM);
  EXPECT_EQ(watch.Wait(10s), 0);
}

}  // namespace
}  // namespace zepa2
