#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <sstream>
#include <thread>

#include "core/net/http_get.h"
#include "core/publish/page_proof.h"
#include "core/publish/page_publisher.h"
#include "core/publish/page_uploader.h"
#include "core/text/cp932.h"
#include "support/free_port.h"
#include "support/publish_support.h"

namespace zepa2 {
namespace {

using test::FixtureProcess;
using test::FtpTestServer;

// The site as the world sees it: a web server whose folder is the FTP server's home.
class PageProofTest : public ::testing::Test {
 protected:
  std::string UrlOf(const std::string& file) const { return "http://" + web.hostPort() + "/" + file; }
  // The requests the web server has seen, one a line: "<path?query> <Cache-Control>".
  std::vector<std::string> Requests() const {
    const auto answer = net::HttpGet({"127.0.0.1", web.port()}, "__requests", std::nullopt);
    std::vector<std::string> lines;
    std::istringstream in(answer.body);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  test::TempDir work;
  FtpTestServer ftp;
  FixtureProcess web{"page_server.py", {ftp.home().string()}};
  test::RecordingHost host;
};

TEST_F(PageProofTest, UploadedPageIsConfirmed) {
  test::WriteFile(work / "page.html", Cp932("<p>現在のアドレスは 192.0.2.44 です</p>\r\n"));
  ASSERT_EQ(PageUploader(host)
                .UploadPage(work / "page.html", {ftp.server(), FtpTestServer::kUser, FtpTestServer::kPassword}, "ip.html")
                .kind,
            net::OutcomeKind::Done);

  const PageProof proof = ProvePagePublished(UrlOf("ip.html"), "192.0.2.44");
  EXPECT_EQ(proof.kind, ProofKind::Confirmed) << proof.reason;
  EXPECT_EQ(Cp932ToUtf8(DescribePageProof(2, proof)), "サイト：2 公開ページでアドレスを確認しました");
}

// The publisher proves each site that took the page and has a check address, logs it and reports it.
TEST_F(PageProofTest, PublisherProvesEachUploadedSite) {
  test::WriteFile(work / "site.tpl", "<p>$$IP_ADDRESS$$</p>\n");
  AppSettings settings;
  settings.siteCount = 3;
  const std::string dead = "http://127.0.0.1:" + std::to_string(test::UnusedLocalPort()) + "/ip2.html";
  const std::string checkUrls[] = {UrlOf("ip1.html"), dead, ""};
  for (int i = 0; i < 3; ++i) {
    const std::string file = "ip" + std::to_string(i + 1) + ".html";
    settings.sites[i] = {ftp.server(), FtpTestServer::kUser, FtpTestServer::kPassword, file,
                         (work / "site.tpl").string(), net::TransferMode::ActiveFtp, {}, "", checkUrls[i]};
  }
  PageUploader uploader(host);
  PagePublisher publisher(settings, host, uploader);
  const std::vector<SiteReport> reports = publisher.Publish({.address = "192.0.2.45"});

  ASSERT_EQ(reports.size(), 3u);
  EXPECT_EQ(reports[0].proof, ProofKind::Confirmed);
  EXPECT_EQ(reports[1].kind, SiteResultKind::Done);
  EXPECT_EQ(reports[1].proof, ProofKind::NotConfirmed);
  EXPECT_NE(reports[1].proofReason.find("127.0.0.1"), std::string::npos) << reports[1].proofReason;
  EXPECT_EQ(reports[2].proof, ProofKind::NotChecked);
  const auto proofLine = [&](const std::string& start) {
    for (const test::LogLine& line : host.log)
      if (line.text.starts_with(start)) return line;
    return test::LogLine{"", log_color::kBlack};
  };
  EXPECT_EQ(proofLine("サイト：1 "), (test::LogLine{"サイト：1 公開ページでアドレスを確認しました", log_color::kGreen}));
  EXPECT_EQ(proofLine("サイト：2 ").color, log_color::kRed);
  EXPECT_EQ(proofLine("サイト：3 ").text, "");
}

TEST_F(PageProofTest, StaleCopyIsNotConfirmed) {
  // A host that serves yesterday's page from another folder, or a cache in front of it.
  test::WriteFile(ftp.home() / "ip.html", "<p>192.0.2.4</p><p>192.0.2.440</p>\n");
  const PageProof proof = ProvePagePublished(UrlOf("ip.html"), "192.0.2.44");
  EXPECT_EQ(proof.kind, ProofKind::NotConfirmed);
  EXPECT_EQ(proof.reason, "ページにアドレスがありません");
  EXPECT_EQ(Cp932ToUtf8(DescribePageProof(1, proof)),
            "サイト：1 公開ページでアドレスを確認できません：ページにアドレスがありません");
}

TEST_F(PageProofTest, DeadOrWrongAddressesAreNotConfirmedWithTheReason) {
  const struct {
    std::string url;
    const char* reasonPart;
  } cases[] = {
      {UrlOf("missing.html"), "HTTP ステータス 404"},
      {"http://127.0.0.1:" + std::to_string(test::UnusedLocalPort()) + "/ip.html", "127.0.0.1"},
      {"ftp://" + ftp.server() + "/ip.html", "http:// または https://"},
      {"http://[::1/ip.html", "http:// または https://"},
  };
  for (const auto& c : cases) {
    const PageProof proof = ProvePagePublished(c.url, "192.0.2.44");
    EXPECT_EQ(proof.kind, ProofKind::NotConfirmed) << c.url;
    EXPECT_NE(FullProofReason(proof).find(c.reasonPart), std::string::npos) << c.url << ": " << FullProofReason(proof);
  }
}

TEST_F(PageProofTest, EveryFetchDefeatsCaches) {
  test::WriteFile(ftp.home() / "ip.html", "192.0.2.44");
  ASSERT_EQ(ProvePagePublished(UrlOf("ip.html?lang=ja"), "192.0.2.44").kind, ProofKind::Confirmed);
  ASSERT_EQ(ProvePagePublished(UrlOf("ip.html?lang=ja"), "192.0.2.44").kind, ProofKind::Confirmed);

  const std::vector<std::string> requests = Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_NE(requests[0], requests[1]);
  for (const std::string& line : requests) {
    EXPECT_TRUE(line.starts_with("/ip.html?lang=ja&zepa2-nocache=")) << line;
    EXPECT_TRUE(line.ends_with(" no-cache")) << line;
  }
}

TEST(PageProof, AStopEndsAFetchThatGetsNoAnswer) {
  // A server that takes the connection and never says a word.
  const int mute = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(::bind(mute, reinterpret_cast<sockaddr*>(&address), length), 0);
  ASSERT_EQ(::listen(mute, 4), 0);
  ::getsockname(mute, reinterpret_cast<sockaddr*>(&address), &length);
  StopToken stop;
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    stop.RequestStop();
  });
  PageProofOptions options;
  options.stop = &stop;
  const PageProof proof = ProvePagePublished(
      "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/ip.html", "192.0.2.44", options);
  stopper.join();
  ::close(mute);
  EXPECT_EQ(proof.kind, ProofKind::NotConfirmed);
  EXPECT_EQ(proof.reason, "中止しました");
}

TEST(PageShowsAddress, FindsOnlyTheWholeAddress) {
  const struct {
    const char* page;
    const char* address;
    bool shown;
  } cases[] = {
      {"<b>10.0.0.1</b>", "10.0.0.1", true},
      {"10.0.0.1", "10.0.0.1", true},
      {"IP: 10.0.0.1.", "10.0.0.1", true},  // the end of a sentence
      {"10.0.0.12", "10.0.0.1", false},
      {"110.0.0.1", "10.0.0.1", false},
      {"1.10.0.0.1", "10.0.0.1", false},
      {"110.0.0.1 and then 10.0.0.1", "10.0.0.1", true},
      {"32322357770", "3232235777", false},  // decimal form
      {"(3232235777)", "3232235777", true},
      {"anything", "", false},
  };
  for (const auto& c : cases) EXPECT_EQ(PageShowsAddress(c.page, c.address), c.shown) << c.page;
}

TEST(CacheDefeatingUrl, AppendsItsOwnQueryAndKeepsTheRest) {
  EXPECT_EQ(CacheDefeatingUrl("http://example.net/ip.html", 7), "http://example.net/ip.html?zepa2-nocache=7");
  EXPECT_EQ(CacheDefeatingUrl("example.net:8080/ip.html", 7), "http://example.net:8080/ip.html?zepa2-nocache=7");
  EXPECT_EQ(CacheDefeatingUrl("https://example.net/a/ip.html?x=1#top", 8),
            "https://example.net/a/ip.html?x=1&zepa2-nocache=8#top");
  EXPECT_EQ(CacheDefeatingUrl("http://example.net/my page.html", 9),
            "http://example.net/my%20page.html?zepa2-nocache=9");
  EXPECT_EQ(CacheDefeatingUrl("ftp://example.net/ip.html", 1), "");
  EXPECT_EQ(CacheDefeatingUrl("", 1), "");
}

}  // namespace
}  // namespace zepa2
