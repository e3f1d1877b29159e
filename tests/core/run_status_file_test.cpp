#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <memory>

#include "core/outcome/run_status_file.h"
#include "core/text/cp932.h"
#include "support/temp_dir.h"

namespace zepa2 {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

SiteReport Site(int number, const std::string& server, SiteResultKind kind, const std::string& reason = "",
                ProofKind proof = ProofKind::NotChecked, const std::string& proofReason = "") {
  SiteReport site;
  site.number = number;
  site.server = server;
  site.kind = kind;
  site.reason = reason;
  site.proof = proof;
  site.proofReason = proofReason;
  return site;
}

// Sites 1..3 in active FTP, passive FTP and SFTP.
AppSettings Modes() {
  AppSettings settings;
  settings.sites[1].mode = net::TransferMode::PassiveFtp;
  settings.sites[2].mode = net::TransferMode::Sftp;
  return settings;
}

CheckReport PartlyPublished(std::time_t when) {
  CheckReport status;
  status.outcome = CheckOutcome::PartlyPublished;
  status.address = "192.0.2.7";
  status.sites = {
      Site(1, "ftp.example.net", SiteResultKind::Done, "", ProofKind::Confirmed),
      Site(2, Cp932("鯖\"2\"\t"), SiteResultKind::ConnectFailed, "Failed to connect: \"refused\"\n"),
      Site(3, "ftp3.example.net:2121", SiteResultKind::Done, "", ProofKind::NotConfirmed,
           "ページにアドレスがありません")};
  status.checkedAt = when;
  return status;
}

class RunStatusFileTest : public ::testing::Test {
 protected:
  RunStatusFileTest() { tzset(); }
  ~RunStatusFileTest() override {
    zone_.reset();
    tzset();
  }

  Json Written() { return Json::parse(test::ReadFile(file_)); }

  test::TempDir dir_;
  fs::path file_ = dir_ / "ZEPA" / "last-run.json";
  std::unique_ptr<test::ScopedEnv> zone_ = std::make_unique<test::ScopedEnv>("TZ", "UTC");
};

TEST_F(RunStatusFileTest, HoldsTheRunAndEverySite) {
  ASSERT_TRUE(WriteRunStatus(file_, PartlyPublished(1'700'000'000), Modes()).ok());
  const Json run = Written();
  EXPECT_EQ(run["outcome"], "partly-published");
  EXPECT_EQ(run["address"], "192.0.2.7");
  EXPECT_TRUE(run["ipv6_address"].is_null());
  EXPECT_EQ(run["checked_at"], "2023-11-14T22:13:20+00:00");
  EXPECT_EQ(run["last_published_at"], "2023-11-14T22:13:20+00:00");
  ASSERT_EQ(run["sites"].size(), 3u);
  const Json& first = run["sites"][0];
  EXPECT_EQ(first, Json({{"number", 1}, {"server", "ftp.example.net"}, {"mode", "ftp-active"}, {"result", "done"},
                         {"reason", ""}, {"confirmed", true}, {"confirm_reason", ""}}));
  // Settings texts come back as UTF-8; quotes, tabs and line breaks survive the escaping.
  EXPECT_EQ(run["sites"][1]["server"], "鯖\"2\"\t");
  EXPECT_EQ(run["sites"][1]["mode"], "ftp-passive");
  EXPECT_EQ(run["sites"][1]["result"], "connect-failed");
  EXPECT_EQ(run["sites"][1]["reason"], "Failed to connect: \"refused\"\n");
  EXPECT_TRUE(run["sites"][1]["confirmed"].is_null());
  EXPECT_EQ(run["sites"][2]["mode"], "sftp");
  EXPECT_EQ(run["sites"][2]["confirmed"], false);
  EXPECT_EQ(run["sites"][2]["confirm_reason"], "ページにアドレスがありません");
  EXPECT_EQ(fs::status(file_).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(fs::status(file_.parent_path()).permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST_F(RunStatusFileTest, RunsThatPublishNothingKeepTheLastPublishTime) {
  ASSERT_TRUE(WriteRunStatus(file_, PartlyPublished(1'700'000'000), Modes()).ok());

  CheckReport unchanged;
  unchanged.outcome = CheckOutcome::Unchanged;
  unchanged.address = "192.0.2.7";
  unchanged.state.lastIpv6Address = "2001:db8::7";
  unchanged.checkedAt = 1'700'000'600;
  ASSERT_TRUE(WriteRunStatus(file_, unchanged, Modes()).ok());
  EXPECT_EQ(Written()["checked_at"], "2023-11-14T22:23:20+00:00");
  EXPECT_EQ(Written()["last_published_at"], "2023-11-14T22:13:20+00:00");
  EXPECT_EQ(Written()["ipv6_address"], "2001:db8::7");

  CheckReport failedFetch;  // the router did not answer: no address, no site tried
  failedFetch.checkedAt = 1'700'001'200;
  ASSERT_TRUE(WriteRunStatus(file_, failedFetch, Modes()).ok());
  const Json run = Written();
  EXPECT_EQ(run["outcome"], "address-not-found");
  EXPECT_TRUE(run["address"].is_null());
  EXPECT_TRUE(run["sites"].empty());
  EXPECT_EQ(run["last_published_at"], "2023-11-14T22:13:20+00:00");

  // A publish where no site took the page published nothing either.
  CheckReport allFailed = PartlyPublished(1'700'001'800);
  allFailed.outcome = CheckOutcome::PublishFailed;
  ASSERT_TRUE(WriteRunStatus(file_, allFailed, Modes()).ok());
  EXPECT_EQ(Written()["last_published_at"], "2023-11-14T22:13:20+00:00");
}

TEST_F(RunStatusFileTest, NoEarlierPublishIsNull) {
  test::WriteFile(file_, "not json at all");
  CheckReport unchanged;
  unchanged.outcome = CheckOutcome::Unchanged;
  ASSERT_TRUE(WriteRunStatus(file_, unchanged, Modes()).ok());
  EXPECT_TRUE(Written()["last_published_at"].is_null());
}

TEST_F(RunStatusFileTest, HumanTableInJapanese) {
  const std::optional<std::string> table = HumanRunStatus(RunStatusJson(PartlyPublished(1'700'000'000), Modes(), {}));
  ASSERT_TRUE(table);
  EXPECT_EQ(*table,
            "結果\tホームページの更新に失敗しました。\n"
            "アドレス\t192.0.2.7\n"
            "IPv6アドレス\tなし\n"
            "確認日時\t2023-11-14 22:13:20+00:00\n"
            "最終公開日時\t2023-11-14 22:13:20+00:00\n"
            "サイト\tサーバ\t方式\t結果\t公開ページ\n"
            "1\tftp.example.net\tftp-active\t成功\t確認済み\n"
            "2\t鯖\"2\" \tftp-passive\t接続失敗：Failed to connect: \"refused\" \t-\n"
            "3\tftp3.example.net:2121\tsftp\t成功\t未確認：ページにアドレスがありません\n");
  EXPECT_EQ(HumanRunStatus("{\"something\": 1}"), std::nullopt);
  EXPECT_EQ(HumanRunStatus("{"), std::nullopt);
}

// DNS targets sit beside the sites: in the file by name, in the table by their Japanese words.
TEST_F(RunStatusFileTest, DnsTargetsBesideTheSites) {
  CheckReport report = PartlyPublished(1'700'000'000);
  report.sites.resize(1);
  report.dnsTargets = {
      {1, DnsKind::Dyndns2, "a.example.net,b.example.net", DnsResultKind::Stopped, "badauth", ""},
      {3, DnsKind::Cloudflare, Cp932("例.example.org"), DnsResultKind::Failed, "", "APIエラー：Authentication error (10000)"},
      {4, DnsKind::Url, "c.example.jp", DnsResultKind::Untouched, "", ""}};
  const std::string text = RunStatusJson(report, Modes(), {});
  const Json file = Json::parse(text);
  ASSERT_EQ(file["dns"].size(), 3u);
  EXPECT_EQ(file["dns"][0], (Json{{"number", 1}, {"kind", "dyndns2"}, {"hosts", "a.example.net,b.example.net"},
                                  {"result", "stopped"}, {"code", "badauth"}, {"reason", ""}}));
  EXPECT_EQ(file["dns"][1]["hosts"], "例.example.org");
  EXPECT_EQ(file["dns"][2]["result"], "untouched");
  const std::string table = HumanRunStatus(text).value_or("");
  EXPECT_NE(table.find("1\tftp.example.net\tftp-active\t成功\t確認済み\n"
                       "DNS\t種類\tホスト名\t結果\n"
                       "1\tdyndns2\ta.example.net,b.example.net\t停止中：badauth\n"
                       "3\tcloudflare\t例.example.org\t失敗：APIエラー：Authentication error (10000)\n"
                       "4\turl\tc.example.jp\t変更なし\n"),
            std::string::npos)
      << table;
}

TEST(RunStatusFile, LivesInTheStateFolder) {
  test::ScopedEnv state("XDG_STATE_HOME", "/tmp/st");
  EXPECT_EQ(RunStatusFilePath(), fs::path("/tmp/st/ZEPA/last-run.json"));
}

}  // namespace
}  // namespace zepa2
