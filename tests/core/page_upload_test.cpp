#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "core/net/transport.h"
#include "core/publish/page_publisher.h"
#include "core/publish/page_uploader.h"
#include "support/publish_support.h"

namespace zepa2 {
namespace {

using test::LogLine;
using test::ReadFile;
using test::WriteFile;
using ::testing::ElementsAre;
using namespace log_color;

constexpr const char* kCrLfPage = "<p>192.0.2.1</p>\r\n\r\n<p>2001/12/24 09:05:03</p>\r\n";

class PageUploadTest : public ::testing::Test {
 protected:
  PageUploadTest() { WriteFile(page, kCrLfPage); }

  net::Outcome Upload(const std::string& server, const std::string& password,
                     const std::string& remote) {
    return uploader.UploadPage(page, {server, test::FtpTestServer::kUser, password}, remote);
  }

  test::TempDir work;
  const std::filesystem::path page = work / "temp.html";
  test::FtpTestServer ftp;
  test::RecordingHost host;
  PageUploader uploader{host};
};

TEST_F(PageUploadTest, StoresThePageAsciiInActiveModeAndLogsSuccess) {
  const net::Outcome outcome = Upload(ftp.server(), test::FtpTestServer::kPassword, "index.html");
  EXPECT_EQ(outcome.kind, net::OutcomeKind::Done);
  EXPECT_EQ(outcome.reason, "");

  EXPECT_THAT(host.log, ElementsAre(LogLine{ftp.server() + ":FTP開始", kDarkBlue},
                                    LogLine{"index.html/成功", kBlack},
                                    LogLine{"ホームページの更新に成功しました。", kGreen}));
  EXPECT_THAT(host.pauses, ElementsAre(std::chrono::milliseconds(1000)));
  EXPECT_FALSE(host.busyNow);
  // An ASCII transfer turns each CR LF into the server's own line end; no CR may be left over.
  EXPECT_EQ(ReadFile(ftp.home() / "index.html"), "<p>192.0.2.1</p>\n\n<p>2001/12/24 09:05:03</p>\n");

  const auto commands = ftp.commands();
  const auto stor = std::find(commands.begin(), commands.end(), "STOR index.html");
  ASSERT_NE(stor, commands.end());
  EXPECT_EQ(*(stor - 1), "TYPE A");
  const bool active = std::any_of(commands.begin(), stor, [](const std::string& c) {
    return c.starts_with("EPRT ") || c.starts_with("PORT ");
  });
  EXPECT_TRUE(active);
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "PASV") +
                std::count(commands.begin(), commands.end(), "EPSV"),
            0);
}

// The one-second wait comes while the connection is still open; it closes (QUIT) only after.
TEST_F(PageUploadTest, WaitsBeforeClosing) {
  struct SnapshotHost : test::RecordingHost {
    const test::FtpTestServer* server = nullptr;
    std::vector<std::string> commandsDuringPause;
    void Pause(std::chrono::milliseconds duration) override {
      RecordingHost::Pause(duration);
      commandsDuringPause = server->commands();
    }
  } snapshotHost;
  snapshotHost.server = &ftp;
  PageUploader(snapshotHost).UploadPage(page, {ftp.server(), "zepa", "secret"}, "index.html");
  ASSERT_FALSE(snapshotHost.commandsDuringPause.empty());
  EXPECT_EQ(snapshotHost.commandsDuringPause.back(), "STOR index.html");
  EXPECT_EQ(ftp.commands().back(), "QUIT");
}

TEST_F(PageUploadTest, RemoteNameWithFolderAndOddCharactersGoesAsItStands) {
  std::filesystem::create_directory(ftp.home() / "www");
  Upload(ftp.server(), test::FtpTestServer::kPassword, "www/my page#1.html");
  EXPECT_EQ(host.log.at(1), (LogLine{"www/my page#1.html/成功", kBlack}));
  EXPECT_TRUE(std::filesystem::exists(ftp.home() / "www" / "my page#1.html"));
}

TEST_F(PageUploadTest, FailuresToConnectOrLogInGiveTwoRedLines) {
  struct Case {
    const char* name;
    std::string server;
    std::string password;
  };
  const Case cases[] = {
      {"wrong password", ftp.server(), "wrong"},
      {"nobody listening", "127.0.0.1:1", test::FtpTestServer::kPassword},
      {"name that does not resolve", "no-such-host.invalid", test::FtpTestServer::kPassword},
      {"server text with a scheme", "ftp://" + ftp.server(), test::FtpTestServer::kPassword},
  };
  for (const Case& c : cases) {
    host.log.clear();
    const net::Outcome outcome = Upload(c.server, c.password, "index.html");
    EXPECT_THAT(host.log, ElementsAre(LogLine{c.server + ":FTP開始", kDarkBlue},
                                      LogLine{"index.html/失敗", kRed},
                                      LogLine{"ホームページの更新に失敗しました。", kRed}))
        << c.name;
    EXPECT_EQ(outcome.kind, net::OutcomeKind::ConnectFailed) << c.name;
    EXPECT_NE(outcome.reason, "") << c.name;
  }
  EXPECT_TRUE(host.pauses.empty());
  EXPECT_FALSE(std::filesystem::exists(ftp.home() / "index.html"));
}

TEST_F(PageUploadTest, RefusedTransferGivesOneRedLine) {
  struct Case {
    const char* name;
    std::string remote;
    bool removeLocalPage;
  };
  const Case cases[] = {
      {"read-only folder", "ro/index.html", false},
      {"folder that does not exist", "nowhere/index.html", false},
      {"no page file", "index.html", true},
  };
  for (const Case& c : cases) {
    host.log.clear();
    if (c.removeLocalPage) std::filesystem::remove(page);
    const net::Outcome outcome = Upload(ftp.server(), test::FtpTestServer::kPassword, c.remote);
    EXPECT_THAT(host.log, ElementsAre(LogLine{ftp.server() + ":FTP開始", kDarkBlue},
                                      LogLine{ftp.server() + ":FTP失敗", kRed}))
        << c.name;
    EXPECT_EQ(outcome.kind, net::OutcomeKind::TransferRefused) << c.name;
    EXPECT_NE(outcome.reason, "") << c.name;
  }
  EXPECT_TRUE(host.pauses.empty());
}

TEST_F(PageUploadTest, SiteWithoutServerOpensNothing) {
  AppSettings settings;
  settings.sites[0].localFile = page.string();
  PagePublisher publisher(settings, host, uploader);
  const std::vector<SiteReport> reports = publisher.Publish({.address = "192.0.2.1"});
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].kind, SiteResultKind::NotRegistered);
  EXPECT_THAT(host.log, ElementsAre(LogLine{":サイトが登録されていません", kDarkBlue}));
  EXPECT_TRUE(ftp.commands().empty());
}

// A line break in any field would put commands of its own on the control connection (a stray
// "DELE" would delete a file); the site fails with the field named, and the server hears nothing.
TEST_F(PageUploadTest, LineBreakInAnyFieldSendsNothing) {
  WriteFile(ftp.home() / "victim.html", "keep me");
  const std::string inject = "\r\nDELE victim.html";
  struct Case {
    const char* field;
    std::string server, user, password, remote;
  };
  const Case cases[] = {
      {"ＦＴＰサーバ名", ftp.server() + inject, "zepa", "secret", "index.html"},
      {"ユーザ名", ftp.server(), "zepa" + inject, "secret", "index.html"},
      {"パスワード", ftp.server(), "zepa", "secret" + inject, "index.html"},
      {"パスワード", ftp.server(), "zepa", std::string("secret\0x", 8), "index.html"},
      {"アップロードファイル", ftp.server(), "zepa", "secret", "index.html" + inject},
      {"アップロードファイル", ftp.server(), "zepa", "secret", "index.html\n"},
  };
  for (const Case& c : cases) {
    host.log.clear();
    uploader.UploadPage(page, {c.server, c.user, c.password}, c.remote);
    EXPECT_THAT(host.log, ElementsAre(LogLine{std::string("「") + c.field +
                                                  "」に改行文字または NUL 文字が含まれているため、送信しません。",
                                              kRed},
                                      LogLine{"ホームページの更新に失敗しました。", kRed}))
        << c.field;
  }
  EXPECT_TRUE(ftp.commands().empty());

  // Below the uploader the session refuses the same, for the dialogs that use it directly.
  EXPECT_FALSE(net::Transport::Open({ftp.server(), "zepa" + inject, "secret"}));
  EXPECT_FALSE(net::Transport::Open({ftp.server(), "zepa", "secret" + inject}));
  auto session = net::Transport::Open({ftp.server(), "zepa", "secret"});
  ASSERT_TRUE(session);
  EXPECT_EQ(session->Store(page, "index.html" + inject).kind, net::OutcomeKind::TransferRefused);
  EXPECT_TRUE(ftp.commands().empty());
  EXPECT_EQ(ReadFile(ftp.home() / "victim.html"), "keep me");
}

// The codes libcurl gives against a real server decide between the two failure reports.
TEST_F(PageUploadTest, SessionSortsLoginFailureFromRefusedStore) {
  auto wrongPassword = net::Transport::Open({ftp.server(), "zepa", "wrong"});
  ASSERT_TRUE(wrongPassword);
  EXPECT_EQ(wrongPassword->Store(page, "a.html").kind, net::OutcomeKind::ConnectFailed);

  auto session = net::Transport::Open({ftp.server(), "zepa", "secret"});
  ASSERT_TRUE(session);
  EXPECT_EQ(session->Store(page, "ro/a.html").kind, net::OutcomeKind::TransferRefused);
  // The same connection carries on after a refusal.
  EXPECT_EQ(session->Store(page, "a.html").kind, net::OutcomeKind::Done);

  EXPECT_FALSE(net::Transport::Open({"host:99999", "zepa", "secret"}));
}

// A server that answers STOR with 150 and then goes silent, QUIT unanswered too.
class PageUploadStallTest : public ::testing::Test {
 protected:
  PageUploadStallTest() { WriteFile(page, kCrLfPage); }
  net::Outcome Upload(const StopToken* stop = nullptr) {
    return PageUploader(host, stop).UploadPage(
        page, {stalling.server(), test::FtpTestServer::kUser, test::FtpTestServer::kPassword}, "index.html");
  }

  test::TempDir work;
  const std::filesystem::path page = work / "temp.html";
  test::FtpTestServer stalling{test::FtpServerOptions{.stallStor = true}};
  test::RecordingHost host;
};

// It must not hold the run for libcurl's two-minute answer time-out: the site ends as timed out,
// not as stored.
TEST_F(PageUploadStallTest, SilenceAfterStorTimesOut) {
  const net::Outcome outcome = Upload();
  EXPECT_EQ(outcome.kind, net::OutcomeKind::TimedOut);
  EXPECT_NE(outcome.reason, "");
  EXPECT_EQ(host.log.back(), (LogLine{stalling.server() + ":FTP失敗", kRed}));
  EXPECT_TRUE(host.pauses.empty());
}

// Quitting during such an upload ends it within a moment as cancelled.
TEST_F(PageUploadStallTest, StopRequestCancelsARunningUpload) {
  StopToken stop;
  std::thread quitter([&] {
    // Stop once the server has been asked to store the page.
    while (stalling.commands().empty() || stalling.commands().back() != "STOR index.html") {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    stop.RequestStop();
  });
  const net::Outcome outcome = Upload(&stop);
  quitter.join();
  EXPECT_EQ(outcome.kind, net::OutcomeKind::Cancelled);
  EXPECT_FALSE(std::filesystem::exists(stalling.home() / "index.html"));
}

}  // namespace
}  // namespace zepa2
