#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "core/publish/page_publisher.h"
#include "core/settings/secret_reference.h"
#include "support/publish_support.h"
#include "support/temp_dir.h"

namespace zepa2 {
namespace {

using ::testing::HasSubstr;
namespace fs = std::filesystem;

struct Resolves {
  std::string stored;
  std::optional<std::string> secret;
  const char* problem;  // part of it when there is no secret
};

class SecretReferenceTest : public ::testing::Test {
 protected:
  void Private(const fs::path& file, const std::string& text, fs::perms mode = fs::perms::owner_read | fs::perms::owner_write) {
    test::WriteFile(file, text);
    fs::permissions(file, mode);
  }
  test::TempDir dir_;
};

// Each kind of reference, with what it gives or why it gives nothing. A reference never falls
// back to an empty password.
TEST_F(SecretReferenceTest, EachKindResolvesOrSaysWhy) {
  Private(dir_ / "pass", "s3cret\nsecond line\n");
  Private(dir_ / "crlf", "s3cret\r\n");
  Private(dir_ / "shared", "s3cret\n", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  Private(dir_ / "world", "s3cret\n", fs::perms::owner_read | fs::perms::others_read);
  Private(dir_ / "empty", "\n");
  fs::create_directory(dir_ / "creds");
  test::WriteFile(dir_ / "creds" / "ftp", "from-systemd");
  fs::permissions(dir_ / "creds" / "ftp", fs::perms::owner_read | fs::perms::group_read);  // systemd's choice
  ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
  test::ScopedEnv env("ZEPA2_TEST_SECRET", "from-env");
  test::ScopedEnv emptyEnv("ZEPA2_TEST_EMPTY", "");
  test::ScopedEnv creds("CREDENTIALS_DIRECTORY", (dir_ / "creds").string());

  const std::string d = dir_.path().string();
  const Resolves cases[] = {
      {"plain secret", "plain secret", ""},
      {"", "", ""},  // a server without a password
      {"env:ZEPA2_TEST_SECRET", "from-env", ""},
      {"env:ZEPA2_TEST_NONE", std::nullopt, "環境変数がありません"},
      {"env:ZEPA2_TEST_EMPTY", std::nullopt, "中身が空です"},
      {"file:" + d + "/pass", "s3cret", ""},
      {"file:" + d + "/crlf", "s3cret", ""},
      {"file:" + d + "/shared", std::nullopt, "本人以外にも読み書きできます"},
      {"file:" + d + "/world", std::nullopt, "本人以外にも読み書きできます"},
      {"file:" + d + "/empty", std::nullopt, "中身が空です"},
      {"file:" + d + "/missing", std::nullopt, "ファイルを読めません"},
      {"file:" + d + "/fifo", std::nullopt, "通常のファイルではありません"},  // and no hang
      {"file:" + d, std::nullopt, "通常のファイルではありません"},
      {"file:pass", std::nullopt, "/ で始まるパス"},
      {"credential:ftp", "from-systemd", ""},
      {"credential:none", std::nullopt, "ファイルを読めません"},
      {"credential:../pass", std::nullopt, "/ は使えません"},
  };
  for (const Resolves& c : cases) {
    SCOPED_TRACE(c.stored);
    const ResolvedSecret got = ResolveSecret(c.stored, "FTP.Pass1");
    EXPECT_EQ(got.secret, c.secret);
    if (!c.secret) {
      EXPECT_THAT(got.problem, HasSubstr(c.problem));
    }
  }
}

TEST_F(SecretReferenceTest, CredentialWithoutSystemdSaysSo) {
  ::unsetenv("CREDENTIALS_DIRECTORY");
  EXPECT_THAT(ResolveSecret("credential:ftp", "FTP.Pass1").problem, HasSubstr("LoadCredential="));
}

// A site whose password cannot be had fails before its server is reached, with a red line that
// names the reference; the other sites are served. A reference that resolves logs in with it.
TEST_F(SecretReferenceTest, UnresolvedPasswordFailsItsSiteUnreached) {
  test::TempDir runtime;
  test::ScopedEnv runtimeDir("XDG_RUNTIME_DIR", runtime.path().string());
  test::ScopedWorkingFolder inWork(dir_.path());
  test::FtpTestServer ftp;
  test::ScopedEnv env("ZEPA2_TEST_FTP_PASS", test::FtpTestServer::kPassword);
  AppSettings settings;
  settings.siteCount = 2;
  for (int n = 1; n <= 2; ++n) {
    test::WriteFile(dir_ / ("site" + std::to_string(n) + ".tpl"), "$$IP_ADDRESS$$");
    settings.sites[n - 1] = {ftp.server(), test::FtpTestServer::kUser, "", "page" + std::to_string(n) + ".html",
                             (dir_ / ("site" + std::to_string(n) + ".tpl")).string()};
  }
  settings.sites[0].pass = "env:ZEPA2_TEST_NO_SUCH_PASS";
  settings.sites[1].pass = "env:ZEPA2_TEST_FTP_PASS";
  test::RecordingHost host;
  PageUploader uploader(host);
  PagePublisher publisher(settings, host, uploader);

  const std::vector<SiteReport> reports = publisher.Publish({"192.0.2.7", {}, {}, false});
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].kind, SiteResultKind::ConnectFailed);
  EXPECT_EQ(reports[1].kind, SiteResultKind::Done);
  const std::vector<std::string> commands = ftp.commands();
  EXPECT_EQ(std::count_if(commands.begin(), commands.end(), [](const std::string& c) { return c.starts_with("USER "); }), 1);
  EXPECT_THAT(host.log, ::testing::Contains(test::LogLine{
                            ftp.server() + std::string("「FTP.Pass1」の参照「env:ZEPA2_TEST_NO_SUCH_PASS」からパスワードを"
                                                 "取り出せないため、送信しませんでした（環境変数がありません）。"),
                            log_color::kRed}));
}

}  // namespace
}  // namespace zepa2
