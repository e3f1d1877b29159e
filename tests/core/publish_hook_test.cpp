#include <gtest/gtest.h>
#include <signal.h>

#include <fstream>
#include <map>
#include <thread>

#include "core/outcome/publish_hook.h"
#include "core/text/cp932.h"
#include "support/temp_dir.h"

namespace zepa2 {
namespace {

using namespace std::chrono_literals;

struct Logged {
  std::string text;  // UTF-8
  LogColor color;
};

struct HookLog {
  std::vector<Logged> lines;
  HookLogSink sink() {
    return [this](const std::string& text, LogColor color) { lines.push_back({Cp932ToUtf8(text), color}); };
  }
};

SiteReport Site(int number, SiteResultKind kind, const std::string& reason = "") {
  SiteReport site;
  site.number = number;
  site.server = "ftp" + std::to_string(number);
  site.kind = kind;
  site.reason = reason;
  return site;
}

CheckReport PartlyPublished(const std::string& address) {
  CheckReport report;
  report.outcome = CheckOutcome::PartlyPublished;
  report.address = address;
  report.sites = {Site(1, SiteResultKind::Done), Site(2, SiteResultKind::ConnectFailed, "Connection refused"),
                  Site(3, SiteResultKind::Done), Site(4, SiteResultKind::TimedOut, "Operation timed out")};
  return report;
}

TEST(PublishHook, SeesTheRunInItsEnvironmentAndNeverInItsCommandText) {
  test::TempDir dir;
  test::ScopedEnv out("HOOK_OUT", (dir / "env.txt").string());
  test::ScopedEnv stale("ZEPA2_IPV6_ADDRESS", "inherited, must not reach the hook");
  // An address is whatever the markers cut out; shell syntax in it must stay plain text.
  const std::string address = "10.0.0.9'; touch \"$HOOK_OUT.pwned\"; '$(id)";
  const std::string command =
      "printf '%s\\n' \"$ZEPA2_ADDRESS\" \"$ZEPA2_PREVIOUS_ADDRESS\" \"${ZEPA2_IPV6_ADDRESS-unset}\" "
      "\"$ZEPA2_RESULT\" \"$ZEPA2_FAILED_SITES\" > \"$HOOK_OUT\"";
  HookLog log;
  CheckReport report = PartlyPublished(address);
  report.previousAddress = "10.0.0.1";
  ASSERT_TRUE(RunPublishHook(Cp932(command), report, log.sink()));

  EXPECT_EQ(test::ReadFile(dir / "env.txt"), address + "\n10.0.0.1\nunset\npartial\n2 4\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "env.txt.pwned"));
  ASSERT_EQ(log.lines.size(), 2u);
  EXPECT_EQ(log.lines[0].color, log_color::kBlack);
  EXPECT_EQ(log.lines[1].text, "公開後のコマンドが終了しました（終了コード 0）");
  EXPECT_EQ(log.lines[1].color, log_color::kGreen);
}

TEST(PublishHook, ResultWordFollowsTheOutcome) {
  test::TempDir dir;
  const struct {
    CheckOutcome outcome;
    const char* word;
  } cases[] = {{CheckOutcome::Published, "ok"},
               {CheckOutcome::PartlyPublished, "partial"},
               {CheckOutcome::PublishFailed, "failed"}};
  for (const auto& c : cases) {
    CheckReport report = PartlyPublished("10.0.0.2");
    report.outcome = c.outcome;
    report.state.lastIpv6Address = "2001:db8::1";
    const auto env = PublishHookEnvironment(report);
    std::map<std::string, std::optional<std::string>> byName(env.begin(), env.end());
    EXPECT_EQ(byName["ZEPA2_RESULT"], c.word);
    EXPECT_EQ(byName["ZEPA2_IPV6_ADDRESS"], "2001:db8::1");
  }
}

TEST(PublishHook, RunsOnlyAfterAPublishWithACommandSet) {
  HookLog log;
  for (CheckOutcome outcome : {CheckOutcome::AddressNotFound, CheckOutcome::Found, CheckOutcome::Unchanged}) {
    CheckReport report;
    report.outcome = outcome;
    EXPECT_FALSE(RunPublishHook("exit 0", report, log.sink()));
  }
  EXPECT_FALSE(RunPublishHook("", PartlyPublished("10.0.0.3"), log.sink()));
  EXPECT_TRUE(log.lines.empty());
}

TEST(PublishHook, FailureLogsItsStatusAndFirstErrorLine) {
  HookLog log;
  ASSERT_TRUE(RunPublishHook(Cp932("echo 'upload mirror: ホスト不明' >&2; echo second >&2; exit 3"),
                             PartlyPublished("10.0.0.4"), log.sink()));
  ASSERT_EQ(log.lines.size(), 3u);
  EXPECT_EQ(log.lines[1].text, "公開後のコマンドが終了しました（終了コード 3）");
  EXPECT_EQ(log.lines[1].color, log_color::kRed);
  EXPECT_EQ(log.lines[2].text, "公開後のコマンドのエラー出力：upload mirror: ホスト不明");
  EXPECT_EQ(log.lines[2].color, log_color::kRed);
}

bool ProcessGone(pid_t pid) {
  // Killed and not yet reaped by init counts as gone too.
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string pidText, name, state;
  return !(stat >> pidText >> name >> state) || state == "Z";
}

TEST(PublishHook, HangingHookIsKilledWithEverythingItStarted) {
  test::TempDir dir;
  test::ScopedEnv out("HOOK_OUT", (dir / "child.pid").string());
  HookLog log;
  ASSERT_TRUE(RunPublishHook("sleep 60 & echo $! > \"$HOOK_OUT\"; sleep 60", PartlyPublished("10.0.0.5"), log.sink(), nullptr, 300ms));
  ASSERT_EQ(log.lines.size(), 2u);
  EXPECT_EQ(log.lines[1].text, "公開後のコマンドが時間内に終わらないため終了させました（0秒）");
  EXPECT_EQ(log.lines[1].color, log_color::kRed);
  const pid_t background = std::stoi(test::ReadFile(dir / "child.pid"));
  for (int i = 0; i < 50 && !ProcessGone(background); ++i) std::this_thread::sleep_for(20ms);
  EXPECT_TRUE(ProcessGone(background));
}

TEST(ShellCommand, StopEndsTheCommandAtOnce) {
  StopToken stop;
  std::thread stopper([&] {
    std::this_thread::sleep_for(200ms);
    stop.RequestStop();
  });
  ShellCommandOptions options;
  options.stop = &stop;
  const ShellCommandResult result = RunShellCommand("sleep 60", options);
  stopper.join();
  EXPECT_EQ(result.end, ShellCommandEnd::Stopped);
}

TEST(ShellCommand, FloodOfOutputNeitherStallsNorIsKept) {
  ShellCommandOptions options;
  // 64 MiB on each stream, the error stream without a line break; far beyond a pipe's buffer.
  const ShellCommandResult result = RunShellCommand(
      "head -c 67108864 /dev/zero; head -c 67108864 /dev/zero | tr '\\0' x >&2; exit 5", options);
  EXPECT_EQ(result.end, ShellCommandEnd::Exited);
  EXPECT_EQ(result.status, 5);
  EXPECT_EQ(result.firstErrorLine, std::string(512, 'x'));
}

TEST(ShellCommand, SignalsBlockedByTheCallerAreNotInherited) {
  sigset_t term, old;
  sigemptyset(&term);
  sigaddset(&term, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &term, &old);
  const ShellCommandResult result = RunShellCommand("kill -TERM $$; sleep 5", {});
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
  EXPECT_EQ(result.end, ShellCommandEnd::Signalled);
  EXPECT_EQ(result.status, SIGTERM);
}

}  // namespace
}  // namespace zepa2
