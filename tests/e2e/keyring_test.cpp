// Passwords in the desktop keyring: stored by `config set-password --keyring` or by secret-tool,
// and used by a run. Runs inside tests/e2e/with_keyring.sh (a private D-Bus session with an
// unlocked keyring); elsewhere it is skipped, so it never touches the user's own keyring.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "core/settings/settings_store.h"
#include "core/text/cp932.h"
#include "support/fixture_process.h"
#include "support/program_run.h"
#include "support/publish_support.h"
#include "support/temp_dir.h"

namespace zepa2 {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::Not;
using test::ReadFile;

class KeyringTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("ZEPA2_KEYRING_SESSION")) GTEST_SKIP() << "runs only inside with_keyring.sh";
    for (const char* folder : {"config", "state", "run", "work"}) fs::create_directories(dir_ / folder);
    fs::permissions(dir_ / "run", fs::perms::owner_all);
  }

  std::map<std::string, std::string> Env() const {
    return {{"XDG_CONFIG_HOME", (dir_ / "config").string()},
            {"XDG_STATE_HOME", (dir_ / "state").string()},
            {"XDG_RUNTIME_DIR", (dir_ / "run").string()}};
  }

  test::ProgramResult Check(std::vector<std::string> args, std::optional<std::string> input = std::nullopt) const {
    return test::RunProgram({ZEPA2_CHECK_PROGRAM, std::move(args), Env(), dir_ / "work", std::move(input)}, 60s);
  }

  test::ProgramResult SecretTool(std::vector<std::string> args, std::optional<std::string> input = std::nullopt) const {
    return test::RunProgram({"/usr/bin/secret-tool", std::move(args), {}, {}, std::move(input)}, 30s);
  }

  AppSettings Loaded() const {
    AppSettings settings;
    LoadSettings(settings, dir_ / "config" / "ZEPA" / "ZEPA2.conf", {});
    return settings;
  }

  test::TempDir dir_;
};

// set-password --keyring leaves only the reference in the file, and the item it stores is the
// one secret-tool finds by the same attributes.
TEST_F(KeyringTest, SetPasswordStoresInTheKeyringUnderItsKey) {
  const test::ProgramResult set = Check({"config", "set-password", "FTP.Pass2", "--keyring"}, "kr-Secret-77\n");
  ASSERT_EQ(set.exitCode, 0) << set.err;
  EXPECT_EQ(Loaded().sites[1].pass, "keyring:");
  EXPECT_THAT(ReadFile(dir_ / "config" / "ZEPA" / "ZEPA2.conf"), Not(HasSubstr("kr-Secret-77")));
  EXPECT_EQ(SecretTool({"lookup", "application", "zepa2", "key", "FTP.Pass2"}).out, "kr-Secret-77");
  EXPECT_EQ(Check({"config", "get", "FTP.Pass2"}).out, "keyring:\n");
}

// A password stored with secret-tool publishes to the FTP server; a key with no item fails its
// site with a line naming the reference, and nothing is sent.
TEST_F(KeyringTest, RunLogsInWithTheKeyringPassword) {
  test::FixtureProcess router("router_server.py");
  test::FtpTestServer site;
  test::WriteFile(dir_ / "site.html", "address $$IP_ADDRESS$$\n");
  AppSettings settings;
  settings.routerServer = router.hostPort();
  settings.routerPage = "status.htm";
  settings.filter1 = Cp932("WAN側IPアドレス");
  settings.filter2 = "</table>";
  settings.filter3 = "<td>";
  settings.filter4 = "</td>";
  settings.sites[0] = {site.server(), test::FtpTestServer::kUser, "keyring:", "index.html", (dir_ / "site.html").string()};
  ASSERT_TRUE(SaveSettings(settings, dir_ / "config" / "ZEPA" / "ZEPA2.conf", {}).ok);

  const test::ProgramResult missing = Check({"--force"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_THAT(missing.out, HasSubstr("「FTP.Pass1」の参照「keyring:」からパスワードを取り出せない"));
  EXPECT_THAT(missing.out, HasSubstr("キーリングに見つかりません"));
  EXPECT_FALSE(fs::exists(site.home() / "index.html"));

  ASSERT_EQ(SecretTool({"store", "--label=ZEPA2", "application", "zepa2", "key", "FTP.Pass1"},
                       std::string(test::FtpTestServer::kPassword))
                .exitCode,
            0);
  const test::ProgramResult published = Check({"--force"});
  EXPECT_EQ(published.exitCode, 0) << published.out;
  EXPECT_THAT(ReadFile(site.home() / "index.html"), HasSubstr("address 10.0.0.1"));
  EXPECT_EQ(Loaded().sites[0].pass, "keyring:");  // never written back resolved
}

}  // namespace
}  // namespace zepa2
