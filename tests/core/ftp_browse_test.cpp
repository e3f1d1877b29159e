#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "core/net/ftp_browse_session.h"
#include "core/net/ftp_transport.h"
#include "core/net/ftp_list_line.h"
#include "core/text/cp932.h"
#include "support/publish_support.h"

namespace zepa2::net {
namespace {

using ::testing::ElementsAre;
using test::FtpTestServer;

TEST(FtpListLine, ReadsTypeAndNameFromUnixLines) {
  struct Case {
    const char* line;
    std::optional<FtpEntry> expected;
  };
  const Case cases[] = {
      {"drwxr-xr-x   2 zepa  zepa      4096 Jan 01 12:00 html\r", FtpEntry{"html", true}},
      {"-rw-r--r-- 1 owner group 120 Dec 24  2001 index.html", FtpEntry{"index.html", false}},
      {"-rw-r--r-- 1 owner group 120 Dec 24  2001 my  page #1.html", FtpEntry{"my  page #1.html", false}},
      {"-rw-r--r-- 1 owner group 9 Dec 24 2001 \x83\x79\x81\x5B\x83\x57.html",
       FtpEntry{"\x83\x79\x81\x5B\x83\x57.html", false}},
      {"lrwxrwxrwx 1 owner group 4 Dec 24 2001 www -> html", FtpEntry{"www", false}},
      {"drwxr-xr-x 2 owner group 4096 Jan 01 12:00 ..", FtpEntry{"..", true}},
      {"total 12", std::nullopt},
      {"", std::nullopt},
      {"drwxr-xr-x 2 owner group 4096 Jan 01 12:00", std::nullopt},
      {"12-24-01  09:05AM  <DIR>  html", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseListLine(c.line), c.expected) << c.line;
}

TEST(FtpListLine, UnfinishedLastLineCountsOnlyInACompleteBody) {
  const std::string body =
      "total 2\r\n-rw-r--r-- 1 o g 1 Jan 01 12:00 a\r\n-rw-r--r-- 1 o g 1 Jan 01 12:00 b";
  EXPECT_THAT(ParseListing(body, true), ElementsAre(FtpEntry{"a", false}, FtpEntry{"b", false}));
  EXPECT_THAT(ParseListing(body, false), ElementsAre(FtpEntry{"a", false}));
}

TEST(FtpBrowseSession, DirectoryUrlEscapesEachNameFromTheRoot) {
  const std::string root = "ftp://127.0.0.1:21/";
  EXPECT_EQ(FtpFolderUrl(root, "/"), root + "%2F/");
  EXPECT_EQ(FtpFolderUrl(root, "//html"), root + "%2Fhtml/");
  EXPECT_EQ(FtpFolderUrl(root, "/a b/#1/.."), root + "%2Fa%20b/%231/../");
}

class FtpBrowseTest : public ::testing::Test {
 protected:
  SiteLogin Login() const { return {ftp.server(), FtpTestServer::kUser, FtpTestServer::kPassword}; }

  FtpTestServer ftp{true};
};

TEST_F(FtpBrowseTest, ListsTheLoginFolderInServerOrderWithDotsWhenReported) {
  std::filesystem::create_directory(ftp.home() / "html");
  test::WriteFile(ftp.home() / "index.html", "x");
  auto session = FtpBrowseSession::Connect(Login());
  ASSERT_TRUE(session);
  EXPECT_EQ(session->CurrentDirectory(), "/");

  const FtpListing listing = session->ListCurrentDirectory();
  EXPECT_EQ(listing.kind, OutcomeKind::Done);
  EXPECT_THAT(listing.entries, ElementsAre(FtpEntry{".", true}, FtpEntry{"..", true},
                                           FtpEntry{"html", true}, FtpEntry{"index.html", false},
                                           FtpEntry{"ro", true}));
  const auto commands = ftp.commands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "LIST -a"), 1);
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "USER zepa"), 1);
}

TEST_F(FtpBrowseTest, ChangesIntoFoldersAndBackUpOverOneConnection) {
  std::filesystem::create_directories(ftp.home() / "html" / "my page");
  test::WriteFile(ftp.home() / "html" / "my page" / "a.html", "x");
  auto session = FtpBrowseSession::Connect(Login());
  ASSERT_TRUE(session);

  ASSERT_EQ(session->ChangeDirectory("//html"), OutcomeKind::Done);
  EXPECT_EQ(session->CurrentDirectory(), "/html");
  ASSERT_EQ(session->ChangeDirectory("/html/my page"), OutcomeKind::Done);
  EXPECT_EQ(session->CurrentDirectory(), "/html/my page");
  EXPECT_THAT(session->ListCurrentDirectory().entries,
              ElementsAre(FtpEntry{".", true}, FtpEntry{"..", true}, FtpEntry{"a.html", false}));

  ASSERT_EQ(session->ChangeDirectory("/html/my page/.."), OutcomeKind::Done);
  EXPECT_EQ(session->CurrentDirectory(), "/html");
  ASSERT_EQ(session->ChangeDirectory("/html/.."), OutcomeKind::Done);
  EXPECT_EQ(session->CurrentDirectory(), "/");

  const auto commands = ftp.commands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "USER zepa"), 1);
}

TEST_F(FtpBrowseTest, RefusedChangeKeepsTheFolderAndTheConnection) {
  test::WriteFile(ftp.home() / "file.txt", "x");
  auto session = FtpBrowseSession::Connect(Login());
  ASSERT_TRUE(session);
  EXPECT_EQ(session->ChangeDirectory("/nowhere"), OutcomeKind::TransferRefused);
  EXPECT_EQ(session->ChangeDirectory("/file.txt"), OutcomeKind::TransferRefused);
  EXPECT_EQ(session->CurrentDirectory(), "/");
  EXPECT_EQ(session->ListCurrentDirectory().kind, OutcomeKind::Done);
}

TEST_F(FtpBrowseTest, EmptyFolderIsAnEmptyListingAndQuotedNamesComeBackWhole) {
  std::filesystem::create_directories(ftp.home() / "say \"hi\"");
  auto session = FtpBrowseSession::Connect(Login());
  ASSERT_TRUE(session);
  ASSERT_EQ(session->ChangeDirectory("/say \"hi\""), OutcomeKind::Done);
  EXPECT_EQ(session->CurrentDirectory(), "/say \"hi\"");
  const FtpListing listing = session->ListCurrentDirectory();
  EXPECT_EQ(listing.kind, OutcomeKind::Done);
  EXPECT_THAT(listing.entries, ElementsAre(FtpEntry{".", true}, FtpEntry{"..", true}));
}

TEST_F(FtpBrowseTest, NoSessionWithoutALogin) {
  const SiteLogin cases[] = {
      {ftp.server(), FtpTestServer::kUser, "wrong"},
      {"127.0.0.1:1", FtpTestServer::kUser, FtpTestServer::kPassword},
      {"no-such-host.invalid", FtpTestServer::kUser, FtpTestServer::kPassword},
      {"", FtpTestServer::kUser, FtpTestServer::kPassword},
  };
  for (const SiteLogin& login : cases) EXPECT_FALSE(FtpBrowseSession::Connect(login)) << login.server;
}

TEST(FtpBrowsePlainServer, ServerWithoutDotsListsNone) {
  FtpTestServer ftp;
  std::filesystem::create_directory(ftp.home() / "html");
  auto session = FtpBrowseSession::Connect({ftp.server(), FtpTestServer::kUser, FtpTestServer::kPassword});
  ASSERT_TRUE(session);
  EXPECT_THAT(session->ListCurrentDirectory().entries,
              ElementsAre(FtpEntry{"html", true}, FtpEntry{"ro", true}));
}

TEST(FtpBrowseFloodingServer, EndlessListingIsCutOffNotHeldInMemory) {
  FtpTestServer ftp(false, FtpBrowseSession::kMaxListingBytes + (1u << 20));
  auto session = FtpBrowseSession::Connect({ftp.server(), FtpTestServer::kUser, FtpTestServer::kPassword});
  ASSERT_TRUE(session);
  const FtpListing listing = session->ListCurrentDirectory();
  EXPECT_NE(listing.kind, OutcomeKind::Done);
}

// A UTF-8 server (RFC 2640) is switched to UTF-8 at log-in; its names reach the program as CP932
// and go back as UTF-8. A name CP932 cannot hold is marked and keeps the server's bytes.
TEST(FtpBrowseUtf8Server, NamesAreCp932InsideAndUtf8OnTheWire) {
  FtpTestServer ftp;
  std::filesystem::create_directories(ftp.home() / "日本語フォルダ");
  test::WriteFile(ftp.home() / "日本語フォルダ" / "写真一覧.html", "x");
  test::WriteFile(ftp.home() / "日本語フォルダ" / "한국어.html", "x");
  auto session = FtpBrowseSession::Connect({ftp.server(), FtpTestServer::kUser, FtpTestServer::kPassword});
  ASSERT_TRUE(session);
  EXPECT_TRUE(session->usesUtf8());

  const std::string folder = Cp932("日本語フォルダ");
  EXPECT_THAT(session->ListCurrentDirectory().entries,
              ::testing::UnorderedElementsAre(FtpEntry{folder, true}, FtpEntry{"ro", true}));
  ASSERT_EQ(session->ChangeDirectory("/" + folder), OutcomeKind::Done);
  EXPECT_EQ(session->CurrentDirectory(), "/" + folder);
  const FtpListing listing = session->ListCurrentDirectory();
  EXPECT_EQ(listing.kind, OutcomeKind::Done);
  EXPECT_THAT(listing.entries, ::testing::UnorderedElementsAre(
                                   FtpEntry{Cp932("写真一覧.html"), false},
                                   FtpEntry{"한국어.html", false, true}));
  const auto commands = ftp.commands();
  const auto feat = std::find(commands.begin(), commands.end(), "FEAT");
  ASSERT_NE(feat, commands.end());
  EXPECT_NE(std::find(feat, commands.end(), "OPTS UTF8 ON"), commands.end());
}

// A server that does not offer UTF-8 gets no OPTS and its names come back byte for byte.
TEST(FtpBrowseOlderServer, NamesStayTheServersBytes) {
  FtpTestServer ftp(test::FtpServerOptions{.utf8 = false});
  std::filesystem::create_directories(ftp.home() / "日本語");
  auto session = FtpBrowseSession::Connect({ftp.server(), FtpTestServer::kUser, FtpTestServer::kPassword});
  ASSERT_TRUE(session);
  EXPECT_FALSE(session->usesUtf8());
  EXPECT_THAT(session->ListCurrentDirectory().entries,
              ::testing::UnorderedElementsAre(FtpEntry{"日本語", true}, FtpEntry{"ro", true}));
  ASSERT_EQ(session->ChangeDirectory("/日本語"), OutcomeKind::Done);
  EXPECT_EQ(session->CurrentDirectory(), "/日本語");
  const auto commands = ftp.commands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "FEAT"), 1);
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "OPTS UTF8 ON"), 0);
}

}  // namespace
}  // namespace zepa2::net
