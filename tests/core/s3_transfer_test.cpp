// S3-compatible storage against a store on 127.0.0.1 that checks the AWS Signature Version 4 of every request.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include "core/net/ftp_browse_session.h"
#include "core/publish/page_uploader.h"
#include "core/text/cp932.h"
#include "support/publish_support.h"

namespace zepa2 {
namespace {

using net::OutcomeKind;
using net::TransferMode;
using test::LogLine;
using test::ReadFile;
using test::S3TestServer;
using test::WriteFile;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using namespace log_color;

namespace fs = std::filesystem;

const std::string kPage = "<p>192.0.2.1</p>\r\n" + Cp932("<p>現在のアドレス</p>") + "\n";

class S3UploadTest : public ::testing::Test {
 protected:
  S3UploadTest() { WriteFile(page, kPage); }

  net::Outcome Upload(const S3TestServer& s3, const std::string& remote, const std::string& secret = S3TestServer::kSecret,
                      const std::string& region = "", const std::string& keyId = S3TestServer::kAccessKey) {
    return uploader.UploadPage(page, {s3.server(), keyId, secret, TransferMode::S3, "", region}, remote);
  }

  test::TempDir work;
  const fs::path page = work / "temp.html";
  test::RecordingHost host;
  PageUploader uploader{host};
};

// One signed PUT with a length, the unsigned-payload header and the page's type; the object is
// the page as built.
TEST_F(S3UploadTest, SignedPutStoresThePageAsBuilt) {
  S3TestServer s3;
  const net::Outcome outcome = Upload(s3, "/www/site/index.html");
  EXPECT_EQ(outcome.kind, OutcomeKind::Done) << outcome.reason;
  EXPECT_EQ(ReadFile(s3.bucket("www") / "site" / "index.html"), kPage);
  EXPECT_THAT(host.log, ElementsAre(LogLine{s3.server() + ":S3開始", kDarkBlue},
                                    LogLine{"/www/site/index.html/成功", kBlack},
                                    LogLine{"ホームページの更新に成功しました。", kGreen}));
  EXPECT_THAT(s3.requests(),
              ElementsAre("PUT /www/site/index.html|text/html; charset=Shift_JIS|UNSIGNED-PAYLOAD|" +
                          std::to_string(kPage.size()) + "|-|ok"));

  // A CP932 key goes as UTF-8; a name that is not HTML gets no HTML type.
  EXPECT_EQ(Upload(s3, Cp932("/www/ページ.htm")).kind, OutcomeKind::Done);
  EXPECT_EQ(ReadFile(s3.bucket("www") / "\xE3\x83\x9A\xE3\x83\xBC\xE3\x82\xB8.htm"), kPage);
  EXPECT_EQ(Upload(s3, "/www/ip.txt").kind, OutcomeKind::Done);
  EXPECT_THAT(s3.requests().back(), HasSubstr("PUT /www/ip.txt|-|UNSIGNED-PAYLOAD|"));
}

// A wrong secret or key id is a refused log-in whose reason says so; a missing bucket is a
// refused transfer; a name without bucket and key is refused before anything is sent.
TEST_F(S3UploadTest, RefusalsAreSortedByWhatTheStoreSays) {
  S3TestServer s3;
  struct Case {
    const char* remote;
    const char* secret;
    const char* keyId;
    OutcomeKind kind;
    const char* reason;
  };
  const Case cases[] = {
      {"/www/index.html", "wrong", S3TestServer::kAccessKey, OutcomeKind::ConnectFailed, "SignatureDoesNotMatch"},
      {"/www/index.html", S3TestServer::kSecret, "AKIAOTHER", OutcomeKind::ConnectFailed, "InvalidAccessKeyId"},
      {"/nobucket/index.html", S3TestServer::kSecret, S3TestServer::kAccessKey, OutcomeKind::TransferRefused,
       "the bucket does not exist (NoSuchBucket, HTTP/1.1 404"},
      {"/index.html", S3TestServer::kSecret, S3TestServer::kAccessKey, OutcomeKind::TransferRefused, "/BUCKET/KEY"},
      {"/www/", S3TestServer::kSecret, S3TestServer::kAccessKey, OutcomeKind::TransferRefused, "/BUCKET/KEY"},
  };
  for (const Case& c : cases) {
    const net::Outcome outcome = Upload(s3, c.remote, c.secret, "", c.keyId);
    EXPECT_EQ(outcome.kind, c.kind) << c.remote << " " << c.keyId;
    EXPECT_THAT(outcome.reason, HasSubstr(c.reason));
    EXPECT_EQ(outcome.loggedIn, c.kind == OutcomeKind::TransferRefused && c.remote[1] == 'n') << c.remote;
  }
  EXPECT_THAT(Upload(s3, "/www/index.html", "wrong").reason, HasSubstr("the access key or the secret is wrong"));
  EXPECT_EQ(s3.requests().size(), 4u);  // the two names without a key never went out
  EXPECT_FALSE(fs::exists(s3.bucket("www") / "index.html"));
  EXPECT_FALSE(fs::exists(s3.bucket("nobucket")));
}

// The region is part of what is signed: R2's "auto" where the store wants it, us-east-1 when the
// site names none; a region that is no region name never reaches the wire.
TEST_F(S3UploadTest, TheRegionIsSigned) {
  S3TestServer autoRegion({.region = "auto"});
  EXPECT_EQ(Upload(autoRegion, "/www/a.html", S3TestServer::kSecret, "auto").kind, OutcomeKind::Done);
  const net::Outcome unnamed = Upload(autoRegion, "/www/b.html");
  EXPECT_EQ(unnamed.kind, OutcomeKind::TransferRefused);
  EXPECT_THAT(unnamed.reason, HasSubstr("AuthorizationHeaderMalformed"));

  S3TestServer usEast({.region = "us-east-1"});
  EXPECT_EQ(Upload(usEast, "/www/a.html").kind, OutcomeKind::Done);
  EXPECT_EQ(Upload(usEast, "/www/a.html", S3TestServer::kSecret, "us:east").kind, OutcomeKind::ConnectFailed);
  EXPECT_EQ(usEast.requests().size(), 1u);
}

// A store that takes the page and never answers holds the run no longer than the site's deadline,
// and a stop request ends the wait at once; neither reads as stored.
TEST_F(S3UploadTest, SilenceAfterThePutEndsAtTheDeadlineOrAStop) {
  S3TestServer s3({.stallPut = true});
  const net::SiteLogin login{s3.server(), S3TestServer::kAccessKey, S3TestServer::kSecret, TransferMode::S3};
  auto transport = net::Transport::Open(login, {nullptr, net::SteadyClock::now() + std::chrono::seconds(5)});
  ASSERT_TRUE(transport);
  const net::Outcome late = transport->Store(page, "/www/index.html");
  EXPECT_EQ(late.kind, OutcomeKind::TimedOut);
  EXPECT_NE(late.reason, "");

  StopToken stop;
  std::thread quitter([&] {
    while (s3.requests().size() < 2) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    stop.RequestStop();
  });
  const net::Outcome stopped = PageUploader(host, &stop).UploadPage(page, login, "/www/index.html");
  quitter.join();
  EXPECT_EQ(stopped.kind, OutcomeKind::Cancelled);
  EXPECT_THAT(host.log, ::testing::Contains(LogLine{"/www/index.html/失敗", kRed}));
}

// The site browser over ListObjectsV2: buckets at the top, "/" as the delimiter below, every
// page of a long listing, "..", and Japanese keys in CP932.
TEST(S3Browse, ListsBucketsPrefixesAndKeysPageByPage) {
  S3TestServer s3({.buckets = {"www", "logs"}, .pageSize = 2});
  const std::string japan = "\xE6\x97\xA5\xE6\x9C\xAC";  // 日本 in UTF-8
  for (const std::string& key : {std::string("a.html"), std::string("b.html"), std::string("c.html"),
                                 std::string("site/index.html"), japan + "/ip.html"}) {
    fs::create_directories((s3.bucket("www") / key).parent_path());
    WriteFile(s3.bucket("www") / key, "x");
  }
  const net::SiteLogin login{s3.server(), S3TestServer::kAccessKey, S3TestServer::kSecret, TransferMode::S3};

  auto session = net::FtpBrowseSession::Connect(login, {}, nullptr, "/www/index.html");
  ASSERT_TRUE(session);
  EXPECT_EQ(session->CurrentDirectory(), "/www");
  net::FtpListing listing = session->ListCurrentDirectory();
  EXPECT_EQ(listing.kind, OutcomeKind::Done);
  EXPECT_THAT(listing.entries,
              ElementsAre(net::FtpEntry{"a.html", false}, net::FtpEntry{"b.html", false}, net::FtpEntry{"c.html", false},
                          net::FtpEntry{"site", true}, net::FtpEntry{Cp932("日本"), true}));

  EXPECT_EQ(session->ChangeDirectory("/www/" + Cp932("日本")), OutcomeKind::Done);
  EXPECT_THAT(session->ListCurrentDirectory().entries, ElementsAre(net::FtpEntry{"ip.html", false}));
  EXPECT_EQ(session->ChangeDirectory("/www/" + Cp932("日本") + "/../.."), OutcomeKind::Done);
  EXPECT_EQ(session->CurrentDirectory(), "/");
  EXPECT_THAT(session->ListCurrentDirectory().entries,
              ElementsAre(net::FtpEntry{"logs", true}, net::FtpEntry{"www", true}));
  EXPECT_EQ(session->ChangeDirectory("/nobucket"), OutcomeKind::TransferRefused);
  EXPECT_EQ(session->CurrentDirectory(), "/");
  for (const std::string& request : s3.requests()) EXPECT_THAT(request, ::testing::EndsWith("|ok"));
}

// A store that repeats its continuation token, or pages without end, is asked no more than once
// per token and at most a hundred pages; the listing says it was cut.
TEST(S3Browse, ListingStopsAtARepeatedTokenAndAtThePageCap) {
  // The listing of the bucket "www" and the number of requests it took.
  const auto list = [](const S3TestServer& s3, const std::string& page) {
    auto session = net::FtpBrowseSession::Connect(
        {s3.server(), S3TestServer::kAccessKey, S3TestServer::kSecret, TransferMode::S3}, {}, nullptr, "/www/" + page);
    EXPECT_TRUE(session);
    const std::size_t before = s3.requests().size();
    net::FtpListing listing = session ? session->ListCurrentDirectory() : net::FtpListing{};
    return std::pair{std::move(listing), s3.requests().size() - before};
  };
  S3TestServer repeating({.repeatToken = true});
  WriteFile(repeating.bucket("www") / "a.html", "x");
  const auto [repeated, asked] = list(repeating, "a.html");
  EXPECT_EQ(repeated.kind, OutcomeKind::Done);
  EXPECT_TRUE(repeated.cut);
  EXPECT_EQ(asked, 2u);

  S3TestServer paging({.pageSize = 1});
  for (int n = 0; n < 120; ++n) WriteFile(paging.bucket("www") / ("p" + std::to_string(1000 + n) + ".html"), "x");
  const auto [capped, pages] = list(paging, "p1000.html");
  EXPECT_TRUE(capped.cut);
  EXPECT_EQ(capped.entries.size(), net::Transport::kMaxListingPages);
  EXPECT_EQ(pages, net::Transport::kMaxListingPages);
}

// Names that would forge text wherever they are shown are not offered, and are counted.
TEST(S3Browse, NamesWithControlBytesAreLeftOutAndCounted) {
  S3TestServer s3;
  for (const std::string& key : {std::string("ok.html"), std::string("bad\r\nname.html"), std::string("esc\x1b[2J")})
    WriteFile(s3.bucket("www") / key, "x");
  auto session = net::FtpBrowseSession::Connect(
      {s3.server(), S3TestServer::kAccessKey, S3TestServer::kSecret, TransferMode::S3}, {}, nullptr, "/www/ok.html");
  ASSERT_TRUE(session);
  const net::FtpListing listing = session->ListCurrentDirectory();
  EXPECT_THAT(listing.entries, ElementsAre(net::FtpEntry{"ok.html", false}));
  EXPECT_EQ(listing.leftOut, 2u);
}

// Which listed names the browser offers: whatever a server sends, never one that names another
// path, a control byte, or a file "." or "..".
TEST(S3Browse, OfferableNames) {
  const struct {
    net::FtpEntry entry;
    bool offered;
  } cases[] = {
      {{"index.html", false}, true},    {{"..", true}, true},          {{"日本", false}, true},
      {{"..", false}, false},           {{".", false}, false},         {{"a/b.html", false}, false},
      {{"../up", true}, false},         {{"cr\rlf\n", false}, false}, {{std::string("n\0l", 3), false}, false},
      {{"del\x7f", false}, false},      {{"esc\x1b[2J", true}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(net::IsOfferableEntry(c.entry), c.offered) << c.entry.name;
}

TEST(S3Browse, StartsAtTheTopWhenThePagesBucketIsMissingAndFailsOnAWrongSecret) {
  S3TestServer s3;
  auto session = net::FtpBrowseSession::Connect(
      {s3.server(), S3TestServer::kAccessKey, S3TestServer::kSecret, TransferMode::S3}, {}, nullptr, "/gone/x.html");
  ASSERT_TRUE(session);
  EXPECT_EQ(session->CurrentDirectory(), "/");
  net::Outcome failure;
  EXPECT_FALSE(net::FtpBrowseSession::Connect(
      {s3.server(), S3TestServer::kAccessKey, "wrong", TransferMode::S3}, {}, &failure, "/www/x.html"));
  EXPECT_EQ(failure.kind, OutcomeKind::ConnectFailed);
  EXPECT_THAT(failure.reason, HasSubstr("SignatureDoesNotMatch"));
}

}  // namespace
}  // namespace zepa2
