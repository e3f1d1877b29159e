// The metrics file after real runs' reports, read back with the Prometheus client's own parser.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "core/outcome/check_aftermath.h"
#include "core/outcome/metrics_file.h"
#include "core/text/cp932.h"
#include "support/program_run.h"
#include "support/temp_dir.h"

namespace zepa2 {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;
using ::testing::HasSubstr;

SiteReport Site(int number, const std::string& server, SiteResultKind kind) {
  SiteReport site;
  site.number = number;
  site.server = server;
  site.kind = kind;
  return site;
}

class MetricsFileTest : public ::testing::Test {
 protected:
  MetricsFileTest() {
    settings_.siteCount = 2;
    settings_.sites[0].server = "ftp1.example.net";
    settings_.sites[1].server = Cp932("ftp2.例え.jp");
    settings_.metricsFile = (dir_ / "textfile" / "zepa2.prom").string();
  }

  CheckReport Report(CheckOutcome outcome, std::time_t at, std::vector<SiteReport> sites) const {
    CheckReport report;
    report.outcome = outcome;
    report.checkedAt = at;
    if (outcome != CheckOutcome::AddressNotFound) report.address = "203.0.113.7";
    report.sites = std::move(sites);
    return report;
  }

  // Writes the status file and the metrics file the way both programs do after a run.
  void Finish(const CheckReport& report) {
    FinishCheck(report, settings_, dir_ / "state" / "last-run.json", [this](const std::string& text, LogColor) {
      log_.push_back(Cp932ToUtf8(text));
    });
  }

  // The file as prometheus_client's parser reads it: families by name.
  Json Parsed() const {
    const test::ProgramResult parsed = test::RunProgram(
        {ZEPA2_PYTHON, {std::string(ZEPA2_FIXTURES_DIR) + "/parse_metrics.py", settings_.metricsFile}, {}, {}});
    EXPECT_EQ(parsed.exitCode, 0) << parsed.err << test::ReadFile(settings_.metricsFile);
    return parsed.exitCode == 0 ? Json::parse(parsed.out) : Json::object();
  }

  // The value of the family's sample whose labels include `labels`; nothing when there is none.
  static std::optional<double> Value(const Json& families, const std::string& name, const Json& labels = Json::object()) {
    if (!families.contains(name)) return std::nullopt;
    for (const Json& sample : families[name]["samples"]) {
      bool matches = true;
      for (const auto& [key, value] : labels.items()) matches = matches && sample["labels"].value(key, "") == value;
      if (matches) return sample["value"].get<double>();
    }
    return std::nullopt;
  }

  test::TempDir dir_;
  AppSettings settings_;
  std::vector<std::string> log_;
};

// A full, a failed and a partial run: each file parses, carries no sample timestamps, and keeps
// each site's last success from the run that had it.
TEST_F(MetricsFileTest, FullFailedAndPartialRunsAndTheLastSuccessCarriedOver) {
  Finish(Report(CheckOutcome::Published, 1'700'000'000,
                {Site(1, "ftp1.example.net", SiteResultKind::Done), Site(2, settings_.sites[1].server, SiteResultKind::Done)}));
  Json m = Parsed();
  EXPECT_EQ(Value(m, "zepa2_last_check_timestamp_seconds"), 1.7e9);
  EXPECT_EQ(Value(m, "zepa2_address_found"), 1);
  EXPECT_EQ(Value(m, "zepa2_address_info", {{"address", "203.0.113.7"}}), 1);
  EXPECT_EQ(Value(m, "zepa2_last_check_info", {{"outcome", "published"}}), 1);
  EXPECT_EQ(Value(m, "zepa2_site_last_success_timestamp_seconds", {{"site", "2"}, {"server", "ftp2.例え.jp"}}), 1.7e9);
  EXPECT_EQ(Value(m, "zepa2_site_last_result", {{"site", "1"}}), 1);
  EXPECT_EQ(m["zepa2_site_last_result"]["type"], "gauge");
  for (const auto& [name, family] : m.items())
    for (const Json& sample : family["samples"]) EXPECT_TRUE(sample["timestamp"].is_null()) << name;

  Finish(Report(CheckOutcome::AddressNotFound, 1'700'000'100, {}));
  m = Parsed();
  EXPECT_EQ(Value(m, "zepa2_address_found"), 0);
  EXPECT_EQ(Value(m, "zepa2_address_info"), std::nullopt);
  EXPECT_EQ(Value(m, "zepa2_last_check_timestamp_seconds"), 1'700'000'100);
  EXPECT_EQ(Value(m, "zepa2_site_last_success_timestamp_seconds", {{"site", "1"}}), 1.7e9);
  EXPECT_EQ(Value(m, "zepa2_site_last_result", {{"site", "2"}}), 1);

  Finish(Report(CheckOutcome::PartlyPublished, 1'700'000'200,
                {Site(1, "ftp1.example.net", SiteResultKind::Done),
                 Site(2, settings_.sites[1].server, SiteResultKind::ConnectFailed)}));
  m = Parsed();
  EXPECT_EQ(Value(m, "zepa2_site_last_success_timestamp_seconds", {{"site", "1"}}), 1'700'000'200);
  EXPECT_EQ(Value(m, "zepa2_site_last_success_timestamp_seconds", {{"site", "2"}}), 1.7e9);
  EXPECT_EQ(Value(m, "zepa2_site_last_result", {{"site", "2"}}), 0);
  EXPECT_EQ(Value(m, "zepa2_site_result_info", {{"site", "2"}, {"result", "connect-failed"}}), 1);

  // The same run in last-run.json: the outcome and each site's result by the same names.
  const Json status = Json::parse(test::ReadFile(dir_ / "state" / "last-run.json"));
  EXPECT_EQ(Value(m, "zepa2_last_check_info", {{"outcome", status["outcome"]}}), 1);
  for (const Json& site : status["sites"]) {
    EXPECT_EQ(Value(m, "zepa2_site_result_info",
                    {{"site", std::to_string(site["number"].get<int>())}, {"result", site["result"]}}),
              1);
  }
  EXPECT_TRUE(log_.empty());
}

DnsTargetReport Target(int number, const std::string& hosts, DnsResultKind result) {
  DnsTargetReport target;
  target.number = number;
  target.kind = DnsKind::Dyndns2;
  target.hosts = hosts;
  target.result = result;
  return target;
}

// DNS targets have series of their own beside the sites': an update and a confirmation are a
// success, an untouched target keeps its last success, a stopped one is a failure that keeps it,
// and the kinds match last-run.json's.
TEST_F(MetricsFileTest, DnsTargetsHaveSeriesLikeSites) {
  CheckReport first = Report(CheckOutcome::Published, 1'700'000'000, {});
  first.dnsTargets = {Target(1, "home.example.net", DnsResultKind::Updated),
                      Target(2, "a.example.org,b.example.org", DnsResultKind::Failed)};
  Finish(first);
  Json m = Parsed();
  EXPECT_EQ(Value(m, "zepa2_dns_last_success_timestamp_seconds", {{"target", "1"}, {"hosts", "home.example.net"}}),
            1.7e9);
  EXPECT_EQ(Value(m, "zepa2_dns_last_result", {{"target", "2"}, {"hosts", "a.example.org,b.example.org"}}), 0);
  EXPECT_EQ(Value(m, "zepa2_dns_last_success_timestamp_seconds", {{"target", "2"}}), std::nullopt);

  CheckReport second = Report(CheckOutcome::Unchanged, 1'700'000'100, {});
  second.dnsTargets = {Target(1, "home.example.net", DnsResultKind::Untouched),
                       Target(2, "a.example.org,b.example.org", DnsResultKind::Stopped)};
  Finish(second);
  m = Parsed();
  EXPECT_EQ(Value(m, "zepa2_dns_last_success_timestamp_seconds", {{"target", "1"}}), 1.7e9);
  EXPECT_EQ(Value(m, "zepa2_dns_last_result", {{"target", "1"}}), 1);
  EXPECT_EQ(Value(m, "zepa2_dns_result_info", {{"target", "2"}, {"result", "stopped"}}), 1);
  const Json status = Json::parse(test::ReadFile(dir_ / "state" / "last-run.json"));
  for (const Json& target : status["dns"]) {
    EXPECT_EQ(Value(m, "zepa2_dns_result_info",
                    {{"target", std::to_string(target["number"].get<int>())}, {"result", target["result"]}}),
              1)
        << target;
  }
  EXPECT_EQ(Value(m, "zepa2_site_last_result"), std::nullopt);  // the sites' series stay the sites'
}

// A site given another server starts its series over; one beyond the count in use has none.
TEST_F(MetricsFileTest, SeriesFollowTheSitesInUse) {
  Finish(Report(CheckOutcome::Published, 1'700'000'000,
                {Site(1, "ftp1.example.net", SiteResultKind::Done), Site(2, settings_.sites[1].server, SiteResultKind::Done)}));
  settings_.sites[0].server = "ftp-new.example.net";
  settings_.siteCount = 1;
  Finish(Report(CheckOutcome::Unchanged, 1'700'000'100, {}));
  const std::string text = test::ReadFile(settings_.metricsFile);
  EXPECT_THAT(text, ::testing::Not(HasSubstr("site=\"1\",server=\"ftp1.example.net\"")));
  EXPECT_THAT(text, ::testing::Not(HasSubstr("site=\"2\"")));
}

// The exporter runs as another user and reads *.prom while the programs write: the file is
// 0644 in a folder it can enter, and it only ever appears whole, by rename, under a temporary
// name the collector ignores.
TEST_F(MetricsFileTest, ReplacedWholeByRenameAndReadableByOthers) {
  Finish(Report(CheckOutcome::Published, 1'700'000'000, {Site(1, "ftp1.example.net", SiteResultKind::Done)}));
  const fs::path file = settings_.metricsFile;
  struct stat first {};
  ASSERT_EQ(::stat(file.c_str(), &first), 0);
  EXPECT_EQ(first.st_mode & 07777, 0644u);
  struct stat folder {};
  ASSERT_EQ(::stat(file.parent_path().c_str(), &folder), 0);
  EXPECT_EQ(folder.st_mode & 07777, 0755u);

  std::ifstream heldOpen(file);  // an exporter half-way through reading the old file
  const std::string old = test::ReadFile(file);
  Finish(Report(CheckOutcome::PublishFailed, 1'700'000'100, {Site(1, "ftp1.example.net", SiteResultKind::TimedOut)}));
  struct stat second {};
  ASSERT_EQ(::stat(file.c_str(), &second), 0);
  EXPECT_NE(second.st_ino, first.st_ino);  // a new file renamed into place, never rewritten in place
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(heldOpen), {}), old);
  for (const auto& entry : fs::directory_iterator(file.parent_path())) EXPECT_EQ(entry.path(), file);
}

TEST_F(MetricsFileTest, LabelTextIsEscapedAndAForeignFileIsNotCarriedOver) {
  settings_.sites[0].server = "ftp\"quoted\\.example.net";
  fs::create_directories(fs::path(settings_.metricsFile).parent_path());
  test::WriteFile(settings_.metricsFile, "zepa2_site_last_success_timestamp_seconds{site=\"9\",server=\"x\"} 5\ngarbage{\n");
  Finish(Report(CheckOutcome::Published, 1'700'000'000, {Site(1, settings_.sites[0].server, SiteResultKind::Done)}));
  const Json m = Parsed();
  EXPECT_EQ(Value(m, "zepa2_site_last_result", {{"server", "ftp\"quoted\\.example.net"}}), 1);
  EXPECT_EQ(Value(m, "zepa2_site_last_success_timestamp_seconds", {{"site", "9"}}), std::nullopt);
}

// No file is set: nothing is written anywhere.
TEST_F(MetricsFileTest, NothingWithoutAFile) {
  settings_.metricsFile.clear();
  Finish(Report(CheckOutcome::Published, 1'700'000'000, {Site(1, "ftp1.example.net", SiteResultKind::Done)}));
  EXPECT_FALSE(fs::exists(dir_ / "textfile"));
}

TEST_F(MetricsFileTest, AnUnwritableFileIsARedLine) {
  fs::create_directories(dir_ / "textfile" / "zepa2.prom");  // a folder where the file should be
  Finish(Report(CheckOutcome::Published, 1'700'000'000, {Site(1, "ftp1.example.net", SiteResultKind::Done)}));
  ASSERT_EQ(log_.size(), 1u);
  EXPECT_THAT(log_[0], HasSubstr("監視用のメトリクスファイルを保存できません："));
  EXPECT_THAT(log_[0], HasSubstr("zepa2.prom"));
}

// A link another account planted (or could swap) beside the metrics file is never written through:
// a red line names the file, and the file the link aims at keeps its bytes and its mode. A link
// of the user's own in a folder nobody else may change is followed as before.
TEST_F(MetricsFileTest, LinksOthersCanPlantAreNotWrittenThrough) {
  const fs::path victim = dir_ / "private" / "secret";
  fs::create_directories(victim.parent_path());
  test::WriteFile(victim, "root only\n");
  fs::permissions(victim, fs::perms::owner_read | fs::perms::owner_write);
  const bool root = ::geteuid() == 0;
  const uid_t other = 65534;
  struct Case {
    const char* name;
    fs::perms folderMode;
    bool linkOfOther;    // the link belongs to another account (needs root to make)
    bool folderOfOther;  // the folder belongs to another account (needs root to make)
    bool followed;
  };
  const Case cases[] = {
      {"own link, private folder", fs::perms(0755), false, false, true},
      {"own link, folder anyone may write", fs::perms(0777), false, false, false},
      {"own link, sticky folder", fs::perms(01777), false, false, true},
      {"other's link, sticky folder", fs::perms(01777), true, false, false},
      {"own link, other's folder", fs::perms(0755), false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if ((c.linkOfOther || c.folderOfOther) && !root) continue;  // no other account to plant it
    const fs::path folder = dir_ / "textfile" / c.name;
    fs::create_directories(folder);
    fs::permissions(folder, c.folderMode);
    const fs::path link = folder / "zepa2.prom";
    fs::create_symlink(victim, link);
    if (c.linkOfOther) {
      ASSERT_EQ(::lchown(link.c_str(), other, other), 0);
    }
    if (c.folderOfOther) {
      ASSERT_EQ(::chown(folder.c_str(), other, other), 0);
    }
    settings_.metricsFile = link.string();
    log_.clear();
    test::WriteFile(victim, "root only\n");
    fs::permissions(victim, fs::perms::owner_read | fs::perms::owner_write);
    Finish(Report(CheckOutcome::Published, 1'700'000'000, {Site(1, "ftp1.example.net", SiteResultKind::Done)}));
    EXPECT_TRUE(fs::is_symlink(link));
    if (c.followed) {
      EXPECT_TRUE(log_.empty()) << (log_.empty() ? "" : log_[0]);
      EXPECT_THAT(test::ReadFile(victim), HasSubstr("zepa2_"));
    } else {
      ASSERT_EQ(log_.size(), 1u);
      EXPECT_THAT(log_[0], HasSubstr(link.string()));
      EXPECT_EQ(test::ReadFile(victim), "root only\n");
      EXPECT_EQ(fs::status(victim).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    }
  }
}

}  // namespace
}  // namespace zepa2
