// WebDAV against Debian's lighttpd with mod_webdav on 127.0.0.1: Digest over HTTP, HTTPS with a pin.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/net/ftp_browse_session.h"
#include "core/publish/page_uploader.h"
#include "core/publish/server_trust.h"
#include "core/publish/upload_test_file.h"
#include "core/text/cp932.h"
#include "support/publish_support.h"

namespace zepa2 {
namespace {

using net::KeyTrouble;
using net::OutcomeKind;
using net::TransferMode;
using test::LogLine;
using test::ReadFile;
using test::WriteFile;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using namespace log_color;

namespace fs = std::filesystem;

// CR LF and a CP932 line: a page goes over HTTP exactly as it was built.
const std::string kPage = "<p>192.0.2.1</p>\r\n" + Cp932("<p>現在のアドレス</p>") + "\n";
constexpr const char* kWrongPin = "sha256//47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU=";

class WebDavUploadTest : public ::testing::Test {
 protected:
  WebDavUploadTest() { WriteFile(page, kPage); }

  net::Outcome Upload(const std::string& server, const std::string& remote, const std::string& password = "secret",
                      const std::string& pin = "") {
    return uploader.UploadPage(page, {server, "zepa", password, TransferMode::WebDav, pin}, remote);
  }

  test::TempDir work;
  const fs::path page = work / "temp.html";
  test::RecordingHost host;
  PageUploader uploader{host};
};

TEST_F(WebDavUploadTest, DigestOverHttpStoresThePageAsBuilt) {
  test::WebDavTestServer dav;
  fs::create_directories(dav.www() / "site");
  const net::Outcome outcome = Upload(dav.server(), "/site/index.html");
  EXPECT_EQ(outcome.kind, OutcomeKind::Done) << outcome.reason;
  EXPECT_EQ(ReadFile(dav.www() / "site" / "index.html"), kPage);
  EXPECT_THAT(host.log, ElementsAre(LogLine{dav.server() + ":WebDAV開始", kDarkBlue},
                                    LogLine{"/site/index.html/成功", kBlack},
                                    LogLine{"ホームページの更新に成功しました。", kGreen}));
  // A name without the leading slash is from the server's root too; a second PUT replaces.
  EXPECT_EQ(Upload(dav.server(), "site/index.html").kind, OutcomeKind::Done);
  EXPECT_EQ(Upload(dav.server(), Cp932("/site/ページ.html")).kind, OutcomeKind::Done);
  EXPECT_EQ(ReadFile(dav.www() / "site" / "\xE3\x83\x9A\xE3\x83\xBC\xE3\x82\xB8.html"), kPage);
}

TEST_F(WebDavUploadTest, BasicAuthIsAnsweredAsWell) {
  test::WebDavTestServer dav({.basic = true});
  EXPECT_EQ(Upload(dav.server(), "/index.html").kind, OutcomeKind::Done);
  EXPECT_EQ(ReadFile(dav.www() / "index.html"), kPage);
}

// A wrong password is a refused log-in; a folder that is not there is a refused transfer that
// says so, and is not made.
TEST_F(WebDavUploadTest, WrongPasswordAndMissingFolderAreToldApart) {
  test::WebDavTestServer dav;
  const net::Outcome refused = Upload(dav.server(), "/index.html", "wrong");
  EXPECT_EQ(refused.kind, OutcomeKind::ConnectFailed);
  EXPECT_FALSE(refused.loggedIn);
  EXPECT_THAT(refused.reason, HasSubstr("401"));
  EXPECT_EQ(host.log.back(), (LogLine{"ホームページの更新に失敗しました。", kRed}));
  EXPECT_FALSE(fs::exists(dav.www() / "index.html"));

  host.log.clear();
  const net::Outcome missing = Upload(dav.server(), "/missing/index.html");
  EXPECT_EQ(missing.kind, OutcomeKind::TransferRefused);
  EXPECT_TRUE(missing.loggedIn);
  EXPECT_THAT(missing.reason, HasSubstr("the folder does not exist"));
  EXPECT_THAT(missing.reason, HasSubstr("409"));
  EXPECT_THAT(host.log, ElementsAre(LogLine{dav.server() + ":WebDAV開始", kDarkBlue},
                                    LogLine{dav.server() + ":WebDAV失敗", kRed}));
  EXPECT_FALSE(fs::exists(dav.www() / "missing"));
}

// Server texts: a scheme picks HTTP or HTTPS, none means HTTPS; nothing else names a server.
TEST_F(WebDavUploadTest, ServerTextWithoutSchemeIsHttps) {
  test::WebDavTestServer plain;
  test::WebDavTestServer tls({.tls = true});
  const std::string port = std::to_string(plain.port());
  EXPECT_EQ(Upload("127.0.0.1:" + port, "/a.html").kind, OutcomeKind::ConnectFailed);  // TLS to a plain server
  EXPECT_EQ(Upload("HTTP://127.0.0.1:" + port + "/", "/a.html").kind, OutcomeKind::Done);
  EXPECT_EQ(Upload("https://127.0.0.1:" + std::to_string(tls.port()), "/a.html", "secret", tls.pin()).kind,
            OutcomeKind::Done);
  for (const std::string& bad : {"ftp://127.0.0.1:" + port, "http://127.0.0.1:" + port + "/dav",
                                 std::string("http://127.0.0.1:99999"), std::string("http://")}) {
    EXPECT_EQ(Upload(bad, "/a.html").kind, OutcomeKind::ConnectFailed) << bad;
  }
  EXPECT_EQ(ReadFile(plain.www() / "a.html"), kPage);
}

// Over HTTPS as for FTPS: a certificate nobody vouches for is refused before any password goes,
// a pin of another key is a changed key, the server's own pin lets the page through.
TEST_F(WebDavUploadTest, HttpsIsVerifiedOrPinned) {
  test::WebDavTestServer dav({.tls = true});
  const net::Outcome unverified = Upload(dav.server(), "/index.html");
  EXPECT_EQ(unverified.kind, OutcomeKind::ConnectFailed);
  EXPECT_EQ(unverified.key, KeyTrouble::Unverified);
  EXPECT_THAT(host.log[1].text, HasSubstr("サーバの証明書を確認できないため"));
  const net::Outcome changed = Upload(dav.server(), "/index.html", "secret", kWrongPin);
  EXPECT_EQ(changed.key, KeyTrouble::Changed);
  EXPECT_FALSE(fs::exists(dav.www() / "index.html"));

  const net::PresentedKey learned = LearnSiteKey(dav.server(), TransferMode::WebDav);
  EXPECT_EQ(learned.pin, dav.pin()) << learned.reason;
  const net::Outcome pinned = Upload(dav.server(), "/index.html", "secret", dav.pin());
  EXPECT_EQ(pinned.kind, OutcomeKind::Done) << pinned.reason;
  EXPECT_EQ(ReadFile(dav.www() / "index.html"), kPage);
  // The server offers HTTP/2 over TLS (learning its key took it); the upload keeps to HTTP/1.1,
  // where libcurl 7.88 probes for Digest without breaking the stream.
  std::vector<std::string> puts;
  for (const std::string& line : dav.requests(3)) {
    if (line.starts_with("PUT")) puts.push_back(line);
  }
  EXPECT_THAT(puts, ElementsAre("PUT /index.html HTTP/1.1 401", "PUT /index.html HTTP/1.1 201"));

  EXPECT_FALSE(LearnSiteKey("http://127.0.0.1:" + std::to_string(dav.port()), TransferMode::WebDav).pin);
}

TEST(WebDavUploadTestFile, ReportsTheKeyTroubleForTheDialogToOffer) {
  test::WebDavTestServer dav({.tls = true});
  test::TempDir work;
  WriteFile(work / "t.html", "test");
  auto login = [&](const std::string& pin) {
    return net::SiteLogin{dav.server(), "zepa", "secret", TransferMode::WebDav, pin};
  };
  EXPECT_EQ(UploadTestFile(login(""), "/t.html", (work / "t.html").string(), {}).key, KeyTrouble::Unverified);
  EXPECT_EQ(UploadTestFile(login(dav.pin()), "/t.html", (work / "t.html").string(), {}).kind, OutcomeKind::Done);
  EXPECT_EQ(ReadFile(dav.www() / "t.html"), "test");
}

// The site browser over PROPFIND: it starts beside the site's page, or at the nearest folder
// above it that is there; names are UTF-8 on the wire and CP932 here.
TEST(WebDavBrowse, StartsBesideThePageAndWalksJapaneseFolders) {
  test::WebDavTestServer dav({.tls = true});
  const std::string japan = "\xE6\x97\xA5\xE6\x9C\xAC";  // 日本 in UTF-8
  fs::create_directories(dav.www() / "site" / japan);
  WriteFile(dav.www() / "site" / "index.html", "x");
  WriteFile(dav.www() / "site" / japan / "ip.html", "x");
  const net::SiteLogin login{dav.server(), "zepa", "secret", TransferMode::WebDav, dav.pin()};

  auto session = net::FtpBrowseSession::Connect(login, {}, nullptr, "/site/gone/index.html");
  ASSERT_TRUE(session);
  EXPECT_EQ(session->CurrentDirectory(), "/site");
  EXPECT_TRUE(session->usesUtf8());
  net::FtpListing listing = session->ListCurrentDirectory();
  EXPECT_EQ(listing.kind, OutcomeKind::Done);
  EXPECT_THAT(listing.entries, ::testing::UnorderedElementsAre(net::FtpEntry{Cp932("日本"), true},
                                                               net::FtpEntry{"index.html", false}));

  EXPECT_EQ(session->ChangeDirectory("/site/" + Cp932("日本")), OutcomeKind::Done);
  EXPECT_EQ(session->CurrentDirectory(), "/site/" + Cp932("日本"));
  EXPECT_THAT(session->ListCurrentDirectory().entries, ElementsAre(net::FtpEntry{"ip.html", false}));
  EXPECT_EQ(session->ChangeDirectory("/site/" + Cp932("日本") + "/.."), OutcomeKind::Done);
  EXPECT_EQ(session->CurrentDirectory(), "/site");
  EXPECT_EQ(session->ChangeDirectory("/site/none"), OutcomeKind::TransferRefused);
  EXPECT_EQ(session->ChangeDirectory("/site/index.html"), OutcomeKind::TransferRefused);  // a file
  EXPECT_EQ(session->CurrentDirectory(), "/site");
}

TEST(WebDavBrowse, RefusedLogInAndUntrustedKeyFailTheConnection) {
  test::WebDavTestServer dav({.tls = true});
  net::Outcome failure;
  EXPECT_FALSE(net::FtpBrowseSession::Connect({dav.server(), "zepa", "wrong", TransferMode::WebDav, dav.pin()},
                                              {}, &failure));
  EXPECT_EQ(failure.kind, OutcomeKind::ConnectFailed);
  EXPECT_THAT(failure.reason, HasSubstr("401"));
  EXPECT_FALSE(net::FtpBrowseSession::Connect({dav.server(), "zepa", "secret", TransferMode::WebDav}, {}, &failure));
  EXPECT_EQ(failure.key, KeyTrouble::Unverified);
}

}  // namespace
}  // namespace zepa2
