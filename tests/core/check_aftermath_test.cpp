#include <gtest/gtest.h>

#include "core/outcome/check_aftermath.h"
#include "core/text/cp932.h"
#include "support/temp_dir.h"

namespace zepa2 {
namespace {

struct Logged {
  std::string text;
  LogColor color;
};

CheckReport Published() {
  CheckReport report;
  report.outcome = CheckOutcome::Published;
  report.address = "192.0.2.10";
  SiteReport site;
  site.number = 1;
  site.server = "ftp.example.net";
  site.kind = SiteResultKind::Done;
  report.sites = {site};
  report.previousAddress = "192.0.2.9";
  report.state.lastAddress = "192.0.2.10";
  report.checkedAt = 1'700'000'000;
  return report;
}

TEST(CheckAftermath, StatusIsWrittenBeforeTheCommandRuns) {
  test::TempDir dir;
  const auto statusFile = dir / "ZEPA" / "last-run.json";
  test::ScopedEnv out("STATUS_FILE", statusFile.string());
  const CheckReport report = Published();
  AppSettings settings;
  // The command sees the finished status file: tools may read it instead of the environment.
  settings.onPublish = "grep -q '\"address\": \"192.0.2.10\"' \"$STATUS_FILE\"";
  std::vector<Logged> log;
  FinishCheck(report, settings, statusFile, [&](const std::string& text, LogColor color) { log.push_back({Cp932ToUtf8(text), color}); });
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[1].text, "公開後のコマンドが終了しました（終了コード 0）");
}

TEST(CheckAftermath, AnUnwritableStatusIsLoggedAndTheCommandStillRuns) {
  test::TempDir dir;
  test::WriteFile(dir / "ZEPA", "a file where the folder should be");
  AppSettings settings;
  settings.onPublish = "exit 0";
  std::vector<Logged> log;
  FinishCheck(Published(), settings, dir / "ZEPA" / "last-run.json",
              [&](const std::string& text, LogColor color) { log.push_back({Cp932ToUtf8(text), color}); });
  ASSERT_EQ(log.size(), 3u);
  EXPECT_TRUE(log[0].text.starts_with("実行結果を保存できません：")) << log[0].text;
  EXPECT_NE(log[0].text.find("last-run.json"), std::string::npos);
  EXPECT_EQ(log[0].color, log_color::kRed);
  EXPECT_EQ(log[2].color, log_color::kGreen);
}

}  // namespace
}  // namespace zepa2
