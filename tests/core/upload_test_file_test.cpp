#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/publish/upload_test_file.h"
#include "core/text/cp932.h"
#include "support/publish_support.h"

namespace zepa2 {
namespace {

using test::FtpTestServer;

class UploadTestFileTest : public ::testing::Test {
 protected:
  UploadTestFileTest() { test::WriteFile(local / "index.html", "<a href=\"http://$$IP_ADDRESS$$/\">\r\n"); }

  net::OutcomeKind Upload(const std::string& server, const std::string& password, const std::string& remote,
                          const std::string& localFile) {
    return UploadTestFile({server, FtpTestServer::kUser, password}, remote, localFile,
                          [this](std::chrono::milliseconds ms) {
                            pauses.push_back(ms);
                            commandsDuringPause = ftp.commands();
                          }).kind;
  }

  test::TempDir local;
  FtpTestServer ftp;
  std::vector<std::chrono::milliseconds> pauses;
  std::vector<std::string> commandsDuringPause;
};

TEST_F(UploadTestFileTest, StoresTheTemplateAsItIsAndWaitsBeforeClosing) {
  EXPECT_EQ(Upload(ftp.server(), FtpTestServer::kPassword, "index.html",
                   (local / "index.html").string()),
            net::OutcomeKind::Done);
  // The tokens go up unreplaced; only the line end becomes the server's own.
  EXPECT_EQ(test::ReadFile(ftp.home() / "index.html"), "<a href=\"http://$$IP_ADDRESS$$/\">\n");
  EXPECT_THAT(pauses, ::testing::ElementsAre(std::chrono::milliseconds(1000)));
  ASSERT_FALSE(commandsDuringPause.empty());
  EXPECT_EQ(commandsDuringPause.back(), "STOR index.html");
  EXPECT_EQ(ftp.commands().back(), "QUIT");
}

TEST_F(UploadTestFileTest, FailuresAreSortedIntoTransferAndConnection) {
  struct Case {
    const char* name;
    std::string server;
    std::string password;
    std::string remote;
    std::string localFile;
    net::OutcomeKind expected;
  };
  constexpr auto Refused = net::OutcomeKind::TransferRefused;
  constexpr auto NoConnection = net::OutcomeKind::ConnectFailed;
  const std::string page = (local / "index.html").string();
  const Case cases[] = {
      {"read-only folder", ftp.server(), FtpTestServer::kPassword, "ro/index.html", page, Refused},
      {"missing local file", ftp.server(), FtpTestServer::kPassword, "index.html",
       (local / "none.html").string(), Refused},
      {"local folder instead of a file", ftp.server(), FtpTestServer::kPassword, "index.html",
       local.path().string(), Refused},
      {"wrong password", ftp.server(), "wrong", "index.html", page, NoConnection},
      // The log-in comes before the file: a server fault is not blamed on a missing file.
      {"missing file and wrong password", ftp.server(), "wrong", "index.html",
       (local / "none.html").string(), NoConnection},
      {"missing file and dead host", "127.0.0.1:1", FtpTestServer::kPassword, "index.html",
       (local / "none.html").string(), NoConnection},
      {"unknown server", "no-such-host.invalid", FtpTestServer::kPassword, "index.html", page, NoConnection},
      {"empty server", "", FtpTestServer::kPassword, "index.html", page, NoConnection},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Upload(c.server, c.password, c.remote, c.localFile), c.expected) << c.name;
  }
  EXPECT_TRUE(pauses.empty());
  EXPECT_FALSE(std::filesystem::exists(ftp.home() / "index.html"));
  EXPECT_FALSE(std::filesystem::exists(ftp.home() / "ro" / "index.html"));
}

// The stored CP932 name reaches a UTF-8 server as UTF-8, so the file lands under its real name.
TEST_F(UploadTestFileTest, Cp932NameGoesToAUtf8ServerAsUtf8) {
  std::filesystem::create_directory(ftp.home() / "日本語フォルダ");
  EXPECT_EQ(Upload(ftp.server(), FtpTestServer::kPassword, Cp932("日本語フォルダ/写真一覧.html"),
                   (local / "index.html").string()),
            net::OutcomeKind::Done);
  EXPECT_TRUE(std::filesystem::exists(ftp.home() / "日本語フォルダ" / "写真一覧.html"));
}

}  // namespace
}  // namespace zepa2
