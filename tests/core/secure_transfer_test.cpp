// Passive FTP, FTP over TLS, SFTP and HTTPS against real servers on 127.0.0.1, with and without pins.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "core/source/router_fetch.h"
#include "core/net/ftp_browse_session.h"
#include "core/net/server_key.h"
#include "core/publish/page_uploader.h"
#include "core/publish/server_trust.h"
#include "core/publish/upload_test_file.h"
#include "core/text/cp932.h"
#include "support/publish_support.h"

namespace zepa2 {
namespace {

using net::KeyTrouble;
using net::TransferMode;
using test::LogLine;
using test::ReadFile;
using test::WriteFile;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using namespace log_color;

constexpr const char* kCrLfPage = "<p>192.0.2.1</p>\r\n\r\n<p>2001/12/24 09:05:03</p>\r\n";
constexpr const char* kPageOnUnixServer = "<p>192.0.2.1</p>\n\n<p>2001/12/24 09:05:03</p>\n";
// A well-formed pin of no key at all.
constexpr const char* kWrongPin = "sha256//47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU=";

bool SentLogin(const std::vector<std::string>& commands) {
  return std::any_of(commands.begin(), commands.end(), [](const std::string& c) {
    return c.starts_with("USER") || c.starts_with("PASS") || c.starts_with("AUTH zepa");
  });
}

class SecureUploadTest : public ::testing::Test {
 protected:
  SecureUploadTest() { WriteFile(page, kCrLfPage); }

  net::Outcome Upload(const std::string& server, TransferMode mode, const std::string& pin,
                      const std::string& remote = "index.html") {
    return uploader.UploadPage(
        page, {server, test::FtpTestServer::kUser, test::FtpTestServer::kPassword, mode, pin}, remote);
  }

  test::TempDir work;
  const std::filesystem::path page = work / "temp.html";
  test::RecordingHost host;
  PageUploader uploader{host};
};

TEST_F(SecureUploadTest, PassiveFtpOpensTheDataConnectionItselfAndKeepsTypeA) {
  test::FtpTestServer ftp;
  EXPECT_EQ(Upload(ftp.server(), TransferMode::PassiveFtp, "").kind, net::OutcomeKind::Done);
  EXPECT_EQ(ReadFile(ftp.home() / "index.html"), kPageOnUnixServer);
  const auto commands = ftp.commands();
  const auto stor = std::find(commands.begin(), commands.end(), "STOR index.html");
  ASSERT_NE(stor, commands.end());
  EXPECT_EQ(*(stor - 1), "TYPE A");
  EXPECT_TRUE(std::any_of(commands.begin(), stor, [](const std::string& c) {
    return c == "EPSV" || c == "PASV";
  }));
  EXPECT_FALSE(std::any_of(commands.begin(), commands.end(), [](const std::string& c) {
    return c.starts_with("PORT") || c.starts_with("EPRT");
  }));
}

TEST_F(SecureUploadTest, FtpsWithTheRightPinProtectsLogInAndDataAndKeepsTypeA) {
  test::FtpTestServer ftp(test::FtpServerOptions{.tls = true});
  const net::Outcome outcome = Upload(ftp.server(), TransferMode::FtpTls, ftp.pin());
  EXPECT_EQ(outcome.kind, net::OutcomeKind::Done) << outcome.reason;
  EXPECT_EQ(ReadFile(ftp.home() / "index.html"), kPageOnUnixServer);
  const auto commands = ftp.commands();
  const auto auth = std::find(commands.begin(), commands.end(), "AUTH TLS");
  const auto user = std::find(commands.begin(), commands.end(), "USER zepa");
  ASSERT_NE(auth, commands.end());
  EXPECT_LT(auth, user);
  EXPECT_THAT(commands, Contains("PROT P"));
  const auto stor = std::find(commands.begin(), commands.end(), "STOR index.html");
  ASSERT_NE(stor, commands.end());
  EXPECT_EQ(*(stor - 1), "TYPE A");
}

// Refused before the log-in: a red line that names the trouble, nothing stored, no USER or PASS.
TEST_F(SecureUploadTest, FtpsWithAWrongPinOrNoPinIsRefusedBeforeTheLogIn) {
  test::FtpTestServer ftp(test::FtpServerOptions{.tls = true});
  struct Case {
    const char* pin;
    const char* line;
    const char* reason;
  };
  const Case cases[] = {
      {kWrongPin, ":サーバの鍵が登録した鍵から変わっているため、接続を中止しました。", "key changed"},
      {"", ":サーバの証明書を確認できないため、接続を中止しました。", "certificate"},
  };
  for (const Case& c : cases) {
    host.log.clear();
    const net::Outcome outcome = Upload(ftp.server(), TransferMode::FtpTls, c.pin);
    EXPECT_EQ(outcome.kind, net::OutcomeKind::ConnectFailed) << c.pin;
    EXPECT_THAT(outcome.reason, HasSubstr(c.reason));
    EXPECT_THAT(host.log, ElementsAre(LogLine{ftp.server() + ":FTPS開始", kDarkBlue},
                                      LogLine{ftp.server() + c.line, kRed},
                                      LogLine{"ホームページの更新に失敗しました。", kRed}));
  }
  EXPECT_FALSE(std::filesystem::exists(ftp.home() / "index.html"));
  EXPECT_FALSE(SentLogin(ftp.commands()));
}

TEST_F(SecureUploadTest, SftpWithTheRightPinStoresThePageAsBuilt) {
  test::SftpTestServer sftp;
  std::filesystem::create_directories(sftp.home() / "www");
  EXPECT_EQ(Upload(sftp.server(), TransferMode::Sftp, sftp.pin()).kind, net::OutcomeKind::Done);
  EXPECT_EQ(Upload(sftp.server(), TransferMode::Sftp, sftp.pin(), "/home/zepa/www/ip.html").kind,
            net::OutcomeKind::Done);
  EXPECT_EQ(ReadFile(sftp.home() / "index.html"), kCrLfPage);
  EXPECT_EQ(ReadFile(sftp.home() / "www" / "ip.html"), kCrLfPage);
  EXPECT_EQ(Upload(sftp.server(), TransferMode::Sftp, sftp.pin(), "missing/ip.html").kind,
            net::OutcomeKind::TransferRefused);
}

TEST_F(SecureUploadTest, SftpWithAWrongPinOrNoPinIsRefusedBeforeTheLogIn) {
  test::SftpTestServer sftp;
  const net::Outcome changed = Upload(sftp.server(), TransferMode::Sftp, kWrongPin);
  EXPECT_EQ(changed.kind, net::OutcomeKind::ConnectFailed);
  EXPECT_THAT(changed.reason, HasSubstr("key changed"));
  EXPECT_THAT(host.log, Contains(LogLine{
      sftp.server() + ":サーバの鍵が登録した鍵から変わっているため、接続を中止しました。", kRed}));

  host.log.clear();
  const net::Outcome unpinned = Upload(sftp.server(), TransferMode::Sftp, "");
  EXPECT_EQ(unpinned.kind, net::OutcomeKind::ConnectFailed);
  EXPECT_THAT(unpinned.reason, HasSubstr("zepa2-check --trust"));
  ASSERT_EQ(host.log.size(), 3u);
  EXPECT_THAT(host.log[1].text, HasSubstr("SFTPサーバの鍵が登録されていない"));
  EXPECT_THAT(host.log[1].text, HasSubstr("zepa2-check --trust"));

  EXPECT_FALSE(std::filesystem::exists(sftp.home() / "index.html"));
  EXPECT_FALSE(SentLogin(sftp.commands()));
}

// Learning a key connects, reads it and leaves before any log-in; the fixtures work the pins out
// on their own, so a match proves the hash and its input.
TEST(ServerKey, LearnedKeysMatchTheServersOwnPinsWithoutALogIn) {
  test::FtpTestServer ftp(test::FtpServerOptions{.tls = true});
  test::SftpTestServer sftp;
  const net::PresentedKey tls = net::LearnServerKey("ftp://" + ftp.server() + "/", net::PinnedKeyKind::TlsPublicKey);
  const net::PresentedKey ssh = net::LearnServerKey("sftp://" + sftp.server() + "/", net::PinnedKeyKind::SshHostKey);
  EXPECT_EQ(tls.pin, ftp.pin()) << tls.reason;
  EXPECT_EQ(ssh.pin, sftp.pin()) << ssh.reason;
  EXPECT_FALSE(SentLogin(ftp.commands()));
  EXPECT_FALSE(SentLogin(sftp.commands()));

  test::FtpTestServer plain;  // says no to AUTH TLS
  const net::PresentedKey none = net::LearnServerKey("ftp://" + plain.server() + "/", net::PinnedKeyKind::TlsPublicKey);
  EXPECT_FALSE(none.pin);
  EXPECT_NE(none.reason, "");
  EXPECT_FALSE(SentLogin(plain.commands()));
}

// Every mode whose row names a key learns it through the row alone: a mode added to the table is
// covered here without a second list of the protocols whose keys can be learned.
TEST(ServerKey, EveryModeWithAKeyLearnsItFromAServerOfItsScheme) {
  std::optional<test::FtpTestServer> ftps;
  std::optional<test::SftpTestServer> sftp;
  std::optional<test::WebDavTestServer> https;
  for (const net::TransferModeRow& row : net::TransferModes()) {
    SCOPED_TRACE(std::string(row.statusName));
    std::string server;
    std::string pin;
    switch (row.key) {
      case net::PinnedKeyKind::None:
        EXPECT_FALSE(LearnSiteKey("127.0.0.1:1", row.mode).pin);
        continue;
      case net::PinnedKeyKind::SshHostKey:
        if (!sftp) sftp.emplace();
        server = sftp->server();
        pin = sftp->pin();
        break;
      case net::PinnedKeyKind::TlsPublicKey:
        if (row.scheme == "ftp") {
          if (!ftps) ftps.emplace(test::FtpServerOptions{.tls = true});
          server = ftps->server();
          pin = ftps->pin();
        } else {
          ASSERT_EQ(row.scheme, "https");
          if (!https) https.emplace(test::WebDavTestServer::Options{.tls = true});
          server = https->server();
          pin = https->pin();
        }
        break;
    }
    const net::PresentedKey learned = LearnSiteKey(server, row.mode);
    EXPECT_EQ(learned.pin, pin) << learned.reason;
  }
}

TEST(ServerKey, PinTextIsThePrefixAndTheBase64OfThirtyTwoBytes) {
  EXPECT_TRUE(net::IsPinText(kWrongPin));
  EXPECT_FALSE(net::IsPinText(""));
  EXPECT_FALSE(net::IsPinText(std::string(kWrongPin).substr(8)));
  EXPECT_FALSE(net::IsPinText(std::string(kWrongPin) + "A"));
  EXPECT_FALSE(net::IsPinText("sha256//47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuF*="));
}

TEST(SecureUploadTestFile, ReportsTheKeyTroubleForTheDialogToOffer) {
  test::FtpTestServer ftp(test::FtpServerOptions{.tls = true});
  test::TempDir work;
  WriteFile(work / "t.html", "test");
  const std::string local = (work / "t.html").string();
  auto login = [&](const std::string& pin) {
    return net::SiteLogin{ftp.server(), "zepa", "secret", TransferMode::FtpTls, pin};
  };
  const net::Outcome unverified = UploadTestFile(login(""), "t.html", local, {});
  EXPECT_EQ(unverified.kind, net::OutcomeKind::ConnectFailed);
  EXPECT_EQ(unverified.key, KeyTrouble::Unverified);
  const net::Outcome changed = UploadTestFile(login(kWrongPin), "t.html", local, {});
  EXPECT_EQ(changed.key, KeyTrouble::Changed);
  const net::Outcome done = UploadTestFile(login(ftp.pin()), "t.html", local, {});
  EXPECT_EQ(done.kind, net::OutcomeKind::Done);
  EXPECT_EQ(done.key, KeyTrouble::None);
  EXPECT_EQ(ReadFile(ftp.home() / "t.html"), "test");
}

// The site browser over TLS and SFTP: the login folder, a folder in it, and back up.
TEST(SecureBrowse, ListsEntersAndLeavesFoldersOverTlsAndSftp) {
  test::FtpTestServer ftp(test::FtpServerOptions{.tls = true});
  test::SftpTestServer sftp;
  const std::string folder = "\xE6\x97\xA5\xE6\x9C\xAC";  // 日本 in UTF-8
  for (const auto& home : {ftp.home(), sftp.home()}) {
    std::filesystem::create_directories(home / folder);
    WriteFile(home / folder / "ip.html", "x");
  }
  const net::SiteLogin logins[] = {
      {ftp.server(), "zepa", "secret", TransferMode::FtpTls, ftp.pin()},
      {sftp.server(), "zepa", "secret", TransferMode::Sftp, sftp.pin()},
  };
  const std::string cp932Folder = Utf8ToCp932(folder);
  for (const net::SiteLogin& login : logins) {
    SCOPED_TRACE(login.server);
    auto session = net::FtpBrowseSession::Connect(login);
    ASSERT_TRUE(session);
    const std::string home = session->CurrentDirectory();
    const net::FtpListing top = session->ListCurrentDirectory();
    EXPECT_EQ(top.kind, net::OutcomeKind::Done);
    EXPECT_THAT(top.entries, Contains(net::FtpEntry{cp932Folder, true}));

    const std::string inside = (home == "/" ? "" : home) + "/" + cp932Folder;
    ASSERT_EQ(session->ChangeDirectory(inside), net::OutcomeKind::Done);
    EXPECT_EQ(session->CurrentDirectory(), inside);
    EXPECT_THAT(session->ListCurrentDirectory().entries, Contains(net::FtpEntry{"ip.html", false}));
    EXPECT_EQ(session->ChangeDirectory(inside + "/.."), net::OutcomeKind::Done);
    EXPECT_EQ(session->CurrentDirectory(), home);
    EXPECT_EQ(session->ChangeDirectory(home + "/none"), net::OutcomeKind::TransferRefused);
    EXPECT_EQ(session->CurrentDirectory(), home);
  }
  const net::SiteLogin unpinned{sftp.server(), "zepa", "secret", TransferMode::Sftp, ""};
  EXPECT_FALSE(net::FtpBrowseSession::Connect(unpinned));
}

class HttpsRouterTest : public ::testing::Test {
 protected:
  HttpsRouterTest() : router_("router_server.py", {"--tls=" + certs_.path().string()}) {}
  std::string Server() const { return "https://" + router_.hostPort(); }
  std::string Pin() const { return ReadFile(certs_.path() / "cert.pin"); }
  net::HttpGetResult Get(const std::string& path, const std::string& pin) {
    net::HttpGetOptions options;
    options.pin = pin;
    return GetRouterPage(Server(), path, net::HttpCredentials{"admin", "secret"}, options);
  }

  test::TempDir certs_;
  test::FixtureProcess router_;
};

TEST_F(HttpsRouterTest, RightPinFetchesWithBasicAuthAndOthersAreRefusedBeforeTheRequest) {
  const net::HttpGetResult got = Get("basic/status.htm", Pin());
  EXPECT_EQ(got.kind, net::HttpGetKind::Ok) << got.outcome.reason;
  EXPECT_THAT(got.body, HasSubstr("10.0.0.1"));

  const net::HttpGetResult changed = Get("basic/status.htm", kWrongPin);
  EXPECT_EQ(changed.kind, net::HttpGetKind::Failed);
  EXPECT_EQ(changed.outcome.key, KeyTrouble::Changed);
  const net::HttpGetResult unverified = Get("basic/status.htm", "");
  EXPECT_EQ(unverified.outcome.key, KeyTrouble::Unverified);
  EXPECT_EQ(unverified.status, 0);

  // Only the first fetch ever reached the server: its challenge and its answer.
  const std::string log = Get("log", Pin()).body;
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
  EXPECT_EQ(net::LearnServerKey(Server() + "/", net::PinnedKeyKind::TlsPublicKey).pin, Pin());
}

TEST(WebServerText, SchemeAndDefaultPort) {
  struct Case {
    const char* text;
    std::optional<net::WebServer> expected;  // nothing: refused
  };
  auto web = [](const char* host, int port, bool https) {
    return std::optional<net::WebServer>(net::WebServer{{host, port}, https});
  };
  const Case cases[] = {
      {"192.168.0.1", web("192.168.0.1", 80, false)},
      {"192.168.0.1:8080", web("192.168.0.1", 8080, false)},
      {"http://router", web("router", 80, false)},
      {"https://router", web("router", 443, true)},
      {"HTTPS://router:8443/", web("router", 8443, true)},
      {"ftp://router", std::nullopt},
      {"https://", std::nullopt},
      {"https://router/status", std::nullopt},
  };
  for (const Case& c : cases) {
    const auto parsed = net::ParseWebServer(c.text);
    ASSERT_EQ(parsed.has_value(), c.expected.has_value()) << c.text;
    if (!parsed) continue;
    EXPECT_EQ(parsed->https, c.expected->https) << c.text;
    EXPECT_EQ(parsed->address.host, c.expected->address.host) << c.text;
    EXPECT_EQ(parsed->address.port, c.expected->address.port) << c.text;
  }
}

}  // namespace
}  // namespace zepa2
