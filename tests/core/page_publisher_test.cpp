#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "core/publish/page_builder.h"
#include "core/publish/page_publisher.h"
#include "support/publish_support.h"

namespace zepa2 {
namespace {

using test::LogLine;
using test::ReadFile;
using test::WriteFile;
using ::testing::ElementsAre;
using namespace log_color;

class PagePublisherTest : public ::testing::Test {
 protected:
  // Site n gets template "site<n>.tpl" holding "site <n>: $$IP_ADDRESS$$" and uploads "page<n>.html".
  void SetUpSites(int count) {
    settings.siteCount = count;
    for (int n = 1; n <= kSiteSlots; ++n) {
      FtpSite& site = settings.sites[static_cast<std::size_t>(n - 1)];
      const std::string tpl = (work / ("site" + std::to_string(n) + ".tpl")).string();
      WriteFile(tpl, "site " + std::to_string(n) + ": $$IP_ADDRESS$$");
      site = {ftp.server(), test::FtpTestServer::kUser, test::FtpTestServer::kPassword,
              "page" + std::to_string(n) + ".html", tpl};
    }
  }

  std::vector<std::string> Stored() const {
    std::vector<std::string> stores;
    for (const auto& c : ftp.commands()) {
      if (c.starts_with("STOR ")) stores.push_back(c.substr(5));
    }
    return stores;
  }

  test::TempDir work;
  test::ScopedWorkingFolder inWork{work.path()};
  test::TempDir runtime;
  test::ScopedEnv runtimeDir{"XDG_RUNTIME_DIR", runtime.path().string()};
  test::FtpTestServer ftp;
  test::RecordingHost host;
  AppSettings settings;
  bool testRun = false;  // the next publish shows its pages instead
  std::vector<SiteReport> Publish(PagePublisher& on, const std::string& address, const std::string& ipv6 = {}) {
    return on.Publish({address, ipv6, {}, testRun});
  }
  PageUploader uploader{host};
  PagePublisher publisher{settings, host, uploader};
};

// A mode number this version does not know never falls back to plain FTP, which would send the
// password in clear to a server meant for another protocol: the site is refused unreached.
TEST_F(PagePublisherTest, SiteWithAnUnknownModeIsRefusedWithoutAConnection) {
  SetUpSites(2);
  settings.sites[0].unknownMode = "7";
  const std::vector<SiteReport> reports = Publish(publisher, "192.0.2.7");
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].kind, SiteResultKind::ConnectFailed);
  EXPECT_EQ(reports[1].kind, SiteResultKind::Done);
  EXPECT_THAT(Stored(), ElementsAre("page2.html"));
  const std::vector<std::string> commands = ftp.commands();
  EXPECT_EQ(std::count_if(commands.begin(), commands.end(), [](const std::string& c) { return c.starts_with("USER "); }), 1);
  EXPECT_THAT(host.log, ::testing::Contains(LogLine{ftp.server() + ":転送方式の値（7）が不明なため、接続しませんでした。", kRed}));
}

TEST_F(PagePublisherTest, UploadsEachSiteItsOwnPageInOrder) {
  SetUpSites(3);
  Publish(publisher, "192.0.2.7");

  EXPECT_THAT(Stored(), ElementsAre("page1.html", "page2.html", "page3.html"));
  for (int n = 1; n <= 3; ++n) {
    EXPECT_EQ(ReadFile(ftp.home() / ("page" + std::to_string(n) + ".html")),
              "site " + std::to_string(n) + ": 192.0.2.7\n\n");
  }
  ASSERT_EQ(host.log.size(), 9u);
  EXPECT_EQ(host.log[3], (LogLine{ftp.server() + ":FTP開始", kDarkBlue}));
  EXPECT_EQ(host.log[4], (LogLine{"page2.html/成功", kBlack}));
  EXPECT_EQ(host.log[8], (LogLine{"ホームページの更新に成功しました。", kGreen}));
  EXPECT_FALSE(host.busyNow);
}

// The IPv6 address goes where a template asks for it, without the extra line end the IPv4 token
// brings; only templates of sites in use decide whether it is looked up at all.
TEST_F(PagePublisherTest, PagesCarryTheIpv6AddressWhereTheTemplateAsks) {
  SetUpSites(2);
  EXPECT_FALSE(publisher.PagesUseIpv6());
  WriteFile(settings.sites[2].localFile, "v6 $$IPV6_ADDRESS$$");
  EXPECT_FALSE(publisher.PagesUseIpv6());  // site 3 is not in use
  WriteFile(settings.sites[1].localFile, "v4 $$IP_ADDRESS$$ v6 $$IPV6_ADDRESS$$ $$IPV6_ADDRESS$$");
  EXPECT_TRUE(publisher.PagesUseIpv6());

  Publish(publisher, "192.0.2.7", "2001:db8::7");
  EXPECT_EQ(ReadFile(ftp.home() / "page1.html"), "site 1: 192.0.2.7\n\n");
  EXPECT_EQ(ReadFile(ftp.home() / "page2.html"), "v4 192.0.2.7 v6 2001:db8::7 2001:db8::7\n\n");
  Publish(publisher, "192.0.2.8");
  EXPECT_EQ(ReadFile(ftp.home() / "page2.html"), "v4 192.0.2.8 v6  \n\n");
}

TEST_F(PagePublisherTest, SiteWithoutServerAndFailedSiteDoNotStopTheRun) {
  SetUpSites(3);
  settings.sites[1].server.clear();
  settings.sites[0].pass = "wrong";
  Publish(publisher, "192.0.2.7");

  EXPECT_THAT(Stored(), ElementsAre("page3.html"));
  EXPECT_THAT(host.log, ElementsAre(LogLine{ftp.server() + ":FTP開始", kDarkBlue},
                                    LogLine{"page1.html/失敗", kRed},
                                    LogLine{"ホームページの更新に失敗しました。", kRed},
                                    LogLine{":サイトが登録されていません", kDarkBlue},
                                    LogLine{ftp.server() + ":FTP開始", kDarkBlue},
                                    LogLine{"page3.html/成功", kBlack},
                                    LogLine{"ホームページの更新に成功しました。", kGreen}));
}

// The page left on disk by the previous site must not go online as this site's page.
TEST_F(PagePublisherTest, SiteWhoseTemplateIsMissingIsSkipped) {
  SetUpSites(3);
  settings.sites[1].localFile = (work / "missing.tpl").string();
  Publish(publisher, "192.0.2.7");

  EXPECT_THAT(Stored(), ElementsAre("page1.html", "page3.html"));
  ASSERT_EQ(host.log.size(), 7u);
  EXPECT_EQ(host.log[3], (LogLine{"ローカルファイルがオープンできません。", kRed}));
  EXPECT_EQ(host.log[4], (LogLine{ftp.server() + ":FTP開始", kDarkBlue}));
}

TEST_F(PagePublisherTest, TestRunShowsEachPageAndUploadsNothing) {
  SetUpSites(3);
  settings.sites[1].localFile = (work / "missing.tpl").string();
  testRun = true;
  Publish(publisher, "3221225985");

  EXPECT_THAT(host.shownPages, ElementsAre("site 1: 3221225985\r\n\r\n", "site 3: 3221225985\r\n\r\n"));
  EXPECT_THAT(host.log, ElementsAre(LogLine{"サイト：1 テスト完了", kBlack},
                                    LogLine{"ローカルファイルがオープンできません。", kRed},
                                    LogLine{"サイト：3 テスト完了", kBlack}));
  EXPECT_TRUE(ftp.commands().empty());
}

// The request is a value: whatever changes while a viewer is open, the test run uploads nothing.
TEST_F(PagePublisherTest, TestRunStaysATestRunWhenTheFlagIsClearedMeanwhile) {
  struct ClearingHost : test::RecordingHost {
    bool* flag = nullptr;
    bool ShowGeneratedPage(const std::filesystem::path& pageFile) override {
      *flag = false;
      return RecordingHost::ShowGeneratedPage(pageFile);
    }
  } clearingHost;
  clearingHost.flag = &testRun;
  PagePublisher run{settings, clearingHost, uploader};
  SetUpSites(2);
  testRun = true;
  Publish(run, "192.0.2.7");
  EXPECT_EQ(clearingHost.shownPages.size(), 2u);
  EXPECT_TRUE(ftp.commands().empty());
}

TEST_F(PagePublisherTest, SiteCountIsHeldToOneToFive) {
  testRun = true;  // shows pages, which is enough to count the sites handled
  for (const auto& [stored, handled] : {std::pair{0, 1}, {-3, 1}, {1, 1}, {5, 5}, {9, 5}}) {
    SetUpSites(stored);
    host.shownPages.clear();
    Publish(publisher, "10.0.0.1");
    EXPECT_EQ(host.shownPages.size(), static_cast<std::size_t>(handled)) << stored;
  }
}

TEST_F(PagePublisherTest, PagesAreBuiltInAPrivateFolderOfTheRunAndRemovedAfter) {
  struct PathHost : test::RecordingHost {
    std::vector<std::filesystem::path> paths;
    bool ShowGeneratedPage(const std::filesystem::path& pageFile) override {
      paths.push_back(pageFile);
      return RecordingHost::ShowGeneratedPage(pageFile);
    }
  } pathHost;
  PagePublisher run{settings, pathHost, uploader};
  SetUpSites(2);
  // A link planted where the page used to be built must never be written through.
  WriteFile(work / "victim", "keep me");
  std::filesystem::create_symlink(work / "victim", work / "temp.html");

  testRun = true;
  Publish(run, "192.0.2.7");
  ASSERT_EQ(pathHost.paths.size(), 2u);
  const std::filesystem::path folder = pathHost.paths[0].parent_path();
  EXPECT_EQ(folder.parent_path(), runtime / "ZEPA");
  EXPECT_EQ(pathHost.paths[0].filename(), "temp.html");
  EXPECT_EQ(pathHost.paths[1], pathHost.paths[0]);
  EXPECT_THAT(pathHost.shownPages, ElementsAre("site 1: 192.0.2.7\r\n\r\n", "site 2: 192.0.2.7\r\n\r\n"));
  EXPECT_FALSE(std::filesystem::exists(folder));
  EXPECT_EQ((std::filesystem::status(runtime / "ZEPA").permissions() & std::filesystem::perms::all),
            std::filesystem::perms::owner_all);

  testRun = false;
  Publish(run, "192.0.2.8");
  EXPECT_THAT(Stored(), ElementsAre("page1.html", "page2.html"));
  EXPECT_EQ(ReadFile(work / "victim"), "keep me");
  EXPECT_TRUE(std::filesystem::is_empty(runtime / "ZEPA"));
}

TEST_F(PagePublisherTest, WithoutARuntimeFolderPagesGoToTheCacheFolder) {
  SetUpSites(1);
  test::ScopedEnv noRuntime{"XDG_RUNTIME_DIR", ""};
  test::ScopedEnv cache{"XDG_CACHE_HOME", (work / "cache").string()};
  testRun = true;
  Publish(publisher, "192.0.2.7");
  EXPECT_THAT(host.shownPages, ElementsAre("site 1: 192.0.2.7\r\n\r\n"));
  EXPECT_TRUE(std::filesystem::is_empty(work / "cache" / "ZEPA"));
}

TEST_F(PagePublisherTest, NoPrivateFolderEndsTheRun) {
  SetUpSites(3);
  WriteFile(work / "plain-file", "");
  test::ScopedEnv runtimeIsAFile{"XDG_RUNTIME_DIR", (work / "plain-file").string()};
  test::ScopedEnv cacheUnderAFile{"XDG_CACHE_HOME", (work / "plain-file" / "cache").string()};
  Publish(publisher, "192.0.2.7");
  EXPECT_THAT(host.log, ElementsAre(LogLine{"テンポラリーファイルがオープンできません。", kRed}));
  EXPECT_TRUE(ftp.commands().empty());
}

}  // namespace
}  // namespace zepa2
