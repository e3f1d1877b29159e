#include <gtest/gtest.h>

#include "core/notify/webhook_kind.h"
#include "core/outcome/check_notice.h"
#include "core/text/cp932.h"

namespace zepa2 {
namespace {

SiteReport Site(int number, SiteResultKind kind, const std::string& reason = "",
                ProofKind proof = ProofKind::NotChecked, const std::string& proofReason = "") {
  SiteReport site;
  site.number = number;
  site.server = "ftp" + std::to_string(number) + ".example.net";
  site.kind = kind;
  site.reason = reason;
  site.proof = proof;
  site.proofReason = proofReason;
  return site;
}

CheckReport Report(CheckOutcome outcome, std::vector<SiteReport> sites = {}) {
  CheckReport report;
  report.outcome = outcome;
  report.address = outcome == CheckOutcome::AddressNotFound ? "" : "192.0.2.8";
  report.sites = std::move(sites);
  return report;
}

// "title|body|failure" in UTF-8, or "-" for no notice.
std::string Told(int setting, const CheckReport& report) {
  const auto notice = NoticeForCheck(setting, report);
  if (!notice) return "-";
  return Cp932ToUtf8(notice->title) + "|" + Cp932ToUtf8(notice->body) + "|" + (notice->failure ? "!" : "");
}

TEST(CheckNotice, EachSettingTellsWhatItPromises) {
  const CheckReport published = Report(CheckOutcome::Published, {Site(1, SiteResultKind::Done)});
  const CheckReport partly = Report(CheckOutcome::PartlyPublished,
                                    {Site(1, SiteResultKind::Done),
                                     Site(2, SiteResultKind::ConnectFailed, "Connection refused")});
  const CheckReport failed = Report(CheckOutcome::PublishFailed,
                                    {Site(1, SiteResultKind::TransferRefused, "Uploading to a URL without a file name!"),
                                     Site(2, SiteResultKind::TemplateNotOpened)});
  const CheckReport notFound = Report(CheckOutcome::AddressNotFound);
  const CheckReport unconfirmed = Report(
      CheckOutcome::Published,
      {Site(1, SiteResultKind::Done, "", ProofKind::Confirmed),
       Site(3, SiteResultKind::Done, "", ProofKind::NotConfirmed, "ページにアドレスがありません")});

  // Japanese only: libcurl's English reasons stay in the log.
  const std::string publishedNotice = "ZEPA2: IPアドレスを公開しました|新しいアドレス：192.0.2.8|";
  const std::string partlyNotice =
      "ZEPA2: 公開に失敗しました|新しいアドレス：192.0.2.8\nサイト：2（ftp2.example.net）：接続失敗|!";
  const std::string failedNotice =
      "ZEPA2: 公開に失敗しました|サイト：1（ftp1.example.net）：転送拒否\n"
      "サイト：2（ftp2.example.net）：ローカルファイルを開けません|!";
  const std::string notFoundNotice = "ZEPA2: IPアドレスを取得できません|IPアドレス取得失敗|!";
  const std::string unconfirmedNotice =
      "ZEPA2: 公開に失敗しました|新しいアドレス：192.0.2.8\nサイト：3（ftp3.example.net）：公開ページで未確認|!";

  const struct {
    int setting;
    const CheckReport& report;
    std::string told;
  } cases[] = {
      {0, published, "-"},          {0, failed, "-"},
      {0, notFound, "-"},           {1, published, "-"},
      {1, partly, partlyNotice},    {1, failed, failedNotice},
      {1, notFound, notFoundNotice}, {1, unconfirmed, unconfirmedNotice},
      {2, published, publishedNotice}, {2, partly, partlyNotice},
      {2, failed, failedNotice},    {2, unconfirmed, unconfirmedNotice},
      {7, published, publishedNotice}, {-1, failed, "-"},
  };
  for (const auto& c : cases) EXPECT_EQ(Told(c.setting, c.report), c.told) << "Notify=" << c.setting;
}

TEST(CheckNotice, AForcedPublishOfTheSameAddressIsNotCalledNew) {
  CheckReport forced = Report(CheckOutcome::Published, {Site(1, SiteResultKind::Done)});
  forced.previousAddress = forced.address;
  EXPECT_EQ(Told(2, forced), "ZEPA2: IPアドレスを公開しました|アドレス：192.0.2.8|");
}

TEST(CheckNotice, RecoveryIsAGoodRunOnly) {
  EXPECT_TRUE(RecoveryNotice(Report(CheckOutcome::Published, {Site(1, SiteResultKind::Done)})));
  EXPECT_TRUE(RecoveryNotice(Report(CheckOutcome::Unchanged)));
  EXPECT_FALSE(RecoveryNotice(Report(CheckOutcome::PartlyPublished)));
  EXPECT_FALSE(RecoveryNotice(Report(CheckOutcome::AddressNotFound)));
  EXPECT_FALSE(RecoveryNotice(
      Report(CheckOutcome::Published, {Site(1, SiteResultKind::Done, "", ProofKind::NotConfirmed, "x")})));
  EXPECT_EQ(Cp932ToUtf8(RecoveryNotice(Report(CheckOutcome::Unchanged))->title), "ZEPA2: 復旧しました");
}

TEST(CheckNotice, NothingToTellWhenNothingWasPublished) {
  for (int setting : {1, 2}) {
    EXPECT_EQ(Told(setting, Report(CheckOutcome::Unchanged)), "-");
    EXPECT_EQ(Told(setting, Report(CheckOutcome::Found, {Site(1, SiteResultKind::Shown)})), "-");
  }
}

// A target refused this run is news even when the pages had nothing to do; one that only stays
// stopped, held or untouched is not told again at every check.
TEST(CheckNotice, DnsTargetsRefusedThisRunAreTold) {
  CheckReport unchanged = Report(CheckOutcome::Unchanged);
  unchanged.dnsTargets = {{1, DnsKind::Dyndns2, "a.example.net", DnsResultKind::Stopped, "abuse", "", false, true},
                          {2, DnsKind::Dyndns2, "b.example.net", DnsResultKind::Stopped, "badauth", "", false, false},
                          {3, DnsKind::Url, "c.example.net", DnsResultKind::Untouched, "", "", false, false}};
  EXPECT_EQ(Told(1, unchanged), "ZEPA2: 公開に失敗しました|DNS1（a.example.net）：停止中（abuse）|!");
  unchanged.dnsTargets.erase(unchanged.dnsTargets.begin());
  EXPECT_EQ(Told(2, unchanged), "-");

  CheckReport published = Report(CheckOutcome::Published, {Site(1, SiteResultKind::Done)});
  published.dnsTargets = {{2, DnsKind::Cloudflare, "www.example.org", DnsResultKind::Failed, "",
                           "APIエラー：Authentication error (10000)", false, true}};
  EXPECT_EQ(Told(1, published),
            "ZEPA2: 公開に失敗しました|新しいアドレス：192.0.2.8\nDNS2（www.example.org）：失敗|!");
  EXPECT_EQ(Told(0, published), "-");

  // A target that stays stopped is no recovery, though this run did not ask it.
  EXPECT_EQ(RecoveryNotice(unchanged), std::nullopt);
  unchanged.dnsTargets.front().result = DnsResultKind::Untouched;
  EXPECT_NE(RecoveryNotice(unchanged), std::nullopt);
}

// The one sequence every channel follows (desktop, mail, webhook): per setting, what a failure,
// the same failure again, the check that recovers and a later publish each tell.
TEST(NoticeSequence, PolicyTimesEventsGivesOneMessagePerEvent) {
  const CheckReport failed = Report(CheckOutcome::PublishFailed, {Site(1, SiteResultKind::ConnectFailed)});
  const CheckReport notFound = Report(CheckOutcome::AddressNotFound);
  const CheckReport published = Report(CheckOutcome::Published, {Site(1, SiteResultKind::Done)});
  const CheckReport unchanged = Report(CheckOutcome::Unchanged);
  const struct {
    int setting;
    std::vector<const CheckReport*> checks;
    std::vector<const char*> told;  // the event per check, "-" for none
  } cases[] = {
      {0, {&failed, &failed, &published, &published}, {"-", "-", "-", "-"}},
      {1, {&failed, &failed, &published, &published}, {"failed", "-", "recovered", "-"}},
      {2, {&failed, &failed, &published, &published}, {"failed", "-", "recovered", "published"}},
      {1, {&notFound, &notFound, &failed, &unchanged, &unchanged}, {"failed", "-", "failed", "recovered", "-"}},
      {2, {&published, &notFound, &unchanged, &failed}, {"published", "failed", "recovered", "failed"}},
  };
  const auto word = [](const std::optional<CheckNotice>& notice) -> std::string {
    return notice ? NoticeEventName(notice->event) : "-";
  };
  for (const auto& c : cases) {
    NoticeSequence sequence;
    std::vector<std::string> told;
    for (const CheckReport* check : c.checks) told.push_back(word(sequence.Next(c.setting, *check)));
    EXPECT_EQ(told, std::vector<std::string>(c.told.begin(), c.told.end())) << "Notify=" << c.setting;
  }
}

}  // namespace
}  // namespace zepa2
