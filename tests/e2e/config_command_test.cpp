// zepa2-check config against the real settings file in a temporary XDG_CONFIG_HOME, and a run that
// takes its FTP password from outside the file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "core/settings/setting_fields.h"
#include "core/settings/settings_store.h"
#include "core/text/cp932.h"
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

constexpr const char* kSecret = "Hunter2-do-not-print";

class ConfigCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* folder : {"config", "state", "run", "work"}) fs::create_directories(dir_ / folder);
    fs::permissions(dir_ / "run", fs::perms::owner_all);
  }

  fs::path SettingsFile(const char* config = "config") const { return dir_ / config / "ZEPA" / "ZEPA2.conf"; }

  test::ProgramResult Config(std::vector<std::string> args, std::optional<std::string> input = std::nullopt,
                             const char* config = "config") const {
    args.insert(args.begin(), "config");
    return test::RunProgram({ZEPA2_CHECK_PROGRAM, std::move(args),
                             {{"HOME", dir_.path().string()},
                              {"LANG", "C.UTF-8"},
                              {"XDG_CONFIG_HOME", (dir_ / config).string()},
                              {"XDG_STATE_HOME", (dir_ / "state").string()},
                              {"XDG_RUNTIME_DIR", (dir_ / "run").string()}},
                             dir_ / "work", std::move(input)},
                            30s);
  }

  AppSettings Loaded(const char* config = "config") const {
    AppSettings settings;
    LoadSettings(settings, SettingsFile(config), {});
    return settings;
  }

  // The file's lines without those of the secrets.
  static std::string WithoutSecretLines(const std::string& file) {
    std::istringstream lines(file);
    std::string kept;
    for (std::string line; std::getline(lines, line);)
      if (!line.starts_with("Pass")) kept += line + "\n";
    return kept;
  }

  // Sets, through `config set`, the router page and site 1 of a publishing run, the site's
  // password as passReference, then the extra keys and values.
  void ConfigurePublishing(const test::FixtureProcess& router, const test::FtpTestServer& site,
                           const std::string& passReference,
                           const std::vector<std::vector<std::string>>& extra = {}) const {
    std::vector<std::vector<std::string>> sets{{"HTTP.Server", router.hostPort()},
                                               {"HTTP.Page", "status.htm"},
                                               {"FILTER.FILTER1", "WAN側IPアドレス"},
                                               {"FILTER.FILTER2", "</table>"},
                                               {"FILTER.FILTER3", "<td>"},
                                               {"FILTER.FILTER4", "</td>"},
                                               {"FTP.Server1", site.server()},
                                               {"FTP.User1", test::FtpTestServer::kUser},
                                               {"FTP.File1", "index.html"},
                                               {"FTP.Path1", (dir_ / "site.html").string()},
                                               {"FTP.Pass1", passReference}};
    sets.insert(sets.end(), extra.begin(), extra.end());
    for (const std::vector<std::string>& set : sets) {
      ASSERT_EQ(Config({"set", set[0], set[1]}).exitCode, 0) << set[0];
    }
  }

  test::TempDir dir_;
};

// A machine without a desktop is set up from nothing: the first set makes the file, in the
// window's format, and list shows every key in the file's order.
TEST_F(ConfigCommandTest, SetsUpAFreshMachineAndListsEveryKeyInOrder) {
  test::ProgramResult set = Config({"set", "FILTER.FILTER1", "WAN側IPアドレス"});
  ASSERT_EQ(set.exitCode, 0) << set.err;
  EXPECT_THAT(set.out, HasSubstr("SIGHUP"));
  EXPECT_THAT(set.out, HasSubstr("ウィンドウは次の確認の前に読み直します"));
  EXPECT_EQ(Loaded().filter1, Cp932("WAN側IPアドレス"));  // CP932 in memory, as the window has it
  EXPECT_THAT(ReadFile(SettingsFile()), HasSubstr("\nFILTER1=WAN側IPアドレス\n"));
  EXPECT_EQ(fs::status(SettingsFile()).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

  ASSERT_EQ(Config({"set", "SYSTEM.INTERVAL", "15"}).exitCode, 0);
  const test::ProgramResult get = Config({"get", "SYSTEM.INTERVAL"});
  EXPECT_EQ(get.exitCode, 0);
  EXPECT_EQ(get.out, "15\n");

  const test::ProgramResult list = Config({"list"});
  ASSERT_EQ(list.exitCode, 0) << list.err;
  std::string expected;
  for (const SettingField& field : SettingFields())
    expected += field.key + "=" + *GetSettingValue(Loaded(), field.key) + "\n";
  EXPECT_EQ(list.out, expected);
}

struct Refusal {
  std::vector<std::string> args;
  const char* message;
};

// A value the dialogs would refuse changes nothing: exit 2 and the dialog's own words.
TEST_F(ConfigCommandTest, RefusedValuesLeaveTheFileAsItWas) {
  ASSERT_EQ(Config({"set", "FTP.Server1", "ftp.example.net"}).exitCode, 0);
  const std::string before = ReadFile(SettingsFile());
  const Refusal refusals[] = {
      {{"set", "SYSTEM.INTERVAL", "10000"}, "更新周期には 0 から 9999 までの整数を入力してください。"},
      {{"set", "FTP.Mode1", "8"}, "転送方式が不明です"},
      {{"set", "FTP.User1", "me\\x0D\\x0APASS x"}, "改行文字または NUL 文字が含まれています"},
      {{"set", "FTP.Pin1", "sha256//abc"}, "sha256// で始まる形式"},
      {{"set", "FTP.Pass1", kSecret}, "パスワードそのものを指定できません"},
      {{"set", "SYSTEM.MYHOME", "\xF0\x9F\x98\x80"}, "CP932"},
      {{"set", "SYSTEM.NOPE", "1"}, "という設定はありません"},
      {{"get", "SYSTEM.NOPE"}, "という設定はありません"},
      {{"set", "SYSTEM.INTERVAL"}, "Usage: zepa2-check config"},
  };
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(refusal.args[0] + " " + refusal.args[1]);
    const test::ProgramResult result = Config(refusal.args);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_THAT(result.err, HasSubstr(refusal.message));
    EXPECT_THAT(result.out + result.err, Not(HasSubstr(kSecret)));
  }
  EXPECT_EQ(ReadFile(SettingsFile()), before);
}

// A password comes in through standard input only, is kept as the window keeps it, and is never
// printed back; a reference is shown, since it tells where the secret is and not what it is.
TEST_F(ConfigCommandTest, PasswordFromAPipeIsStoredAndNeverPrinted) {
  const test::ProgramResult set = Config({"set-password", "FTP.Pass2"}, std::string(kSecret) + "\nignored\n");
  ASSERT_EQ(set.exitCode, 0) << set.err;
  EXPECT_EQ(Loaded().sites[1].pass, kSecret);
  EXPECT_THAT(ReadFile(SettingsFile()), Not(HasSubstr(kSecret)));  // scrambled, as the window saves it
  ASSERT_EQ(Config({"set", "HTTP.Pass", "env:ROUTER_PASS"}).exitCode, 0);

  const test::ProgramResult list = Config({"list"});
  EXPECT_THAT(list.out, HasSubstr("\nFTP.Pass1=\n"));
  EXPECT_THAT(list.out, HasSubstr("\nFTP.Pass2=********\n"));
  EXPECT_THAT(list.out, HasSubstr("\nHTTP.Pass=env:ROUTER_PASS\n"));
  EXPECT_EQ(Config({"get", "FTP.Pass2"}).out, "********\n");
  for (const test::ProgramResult& shown : {list, Config({"get", "FTP.Pass2"}), Config({"export"})}) {
    EXPECT_THAT(shown.out + shown.err, Not(HasSubstr(kSecret)));
  }

  EXPECT_EQ(Config({"set-password", "FTP.Pass3"}, "").exitCode, 2);  // nothing typed: nothing stored
  EXPECT_EQ(Config({"set-password", "FTP.User1"}, "x\n").exitCode, 2);
}

// An export holds no secret; imported elsewhere it gives the same file apart from the secrets,
// which stay as the importing side had them.
TEST_F(ConfigCommandTest, ExportAndImportRoundTripWithoutSecrets) {
  for (const std::vector<std::string>& set :
       std::vector<std::vector<std::string>>{{"FTP.Server1", "ftp.example.net:2121"},
                                             {"FTP.Mode1", "2"},
                                             {"FTP.MIRROR", "2"},
                                             {"FTP.Path2", "/home/me/テンプレ.html"},
                                             {"FILTER.FILTER2", "\\x0D\\x0A</td>"},
                                             {"SYSTEM.OnPublish", "logger -t zepa2 \"$ZEPA2_ADDRESS\""},
                                             {"SYSTEM.MetricsFile", "/tmp/zepa2.prom"},
                                             {"HTTP.Pass", "credential:router"}}) {
    ASSERT_EQ(Config({"set", set[0], set[1]}).exitCode, 0) << set[0];
  }
  ASSERT_EQ(Config({"set-password", "FTP.Pass1"}, std::string(kSecret) + "\n").exitCode, 0);
  const test::ProgramResult exported = Config({"export"});
  ASSERT_EQ(exported.exitCode, 0);
  EXPECT_THAT(exported.out, Not(HasSubstr("Pass")));
  test::WriteFile(dir_ / "work" / "exported.conf", exported.out);

  fs::create_directories(dir_ / "other");
  ASSERT_EQ(Config({"set-password", "FTP.Pass1"}, "other-secret\n", "other").exitCode, 0);
  const test::ProgramResult imported = Config({"import", (dir_ / "work" / "exported.conf").string()}, {}, "other");
  ASSERT_EQ(imported.exitCode, 0) << imported.err;
  EXPECT_EQ(WithoutSecretLines(ReadFile(SettingsFile("other"))), WithoutSecretLines(ReadFile(SettingsFile())));
  EXPECT_EQ(Loaded("other").sites[0].pass, "other-secret");
  EXPECT_EQ(Loaded("other").routerPass, "");

  // Imported over itself, the file does not change by a byte.
  const std::string before = ReadFile(SettingsFile());
  ASSERT_EQ(Config({"import", (dir_ / "work" / "exported.conf").string()}).exitCode, 0);
  EXPECT_EQ(ReadFile(SettingsFile()), before);
}

// zepa2-check publishes with a password that only its environment holds; the settings file and
// the output never hold it.
TEST_F(ConfigCommandTest, RunTakesThePasswordFromItsReference) {
  test::FixtureProcess router("router_server.py");
  test::FtpTestServer site;
  test::WriteFile(dir_ / "site.html", "address $$IP_ADDRESS$$\n");
  ASSERT_NO_FATAL_FAILURE(ConfigurePublishing(router, site, "env:ZEPA2_FTP_PASS"));
  test::ProgramCall call{ZEPA2_CHECK_PROGRAM,
                         {"--force"},
                         {{"HOME", dir_.path().string()},
                          {"XDG_CONFIG_HOME", (dir_ / "config").string()},
                          {"XDG_STATE_HOME", (dir_ / "state").string()},
                          {"XDG_RUNTIME_DIR", (dir_ / "run").string()}},
                         dir_ / "work"};
  const test::ProgramResult unresolved = test::RunProgram(call, 60s);
  EXPECT_EQ(unresolved.exitCode, 1);
  EXPECT_THAT(unresolved.out, HasSubstr("「FTP.Pass1」の参照「env:ZEPA2_FTP_PASS」からパスワードを取り出せない"));
  EXPECT_FALSE(fs::exists(site.home() / "index.html"));

  call.env["ZEPA2_FTP_PASS"] = test::FtpTestServer::kPassword;
  const test::ProgramResult published = test::RunProgram(call, 60s);
  EXPECT_EQ(published.exitCode, 0) << published.out;
  EXPECT_THAT(ReadFile(site.home() / "index.html"), HasSubstr("address 10.0.0.1\n"));
  EXPECT_THAT(ReadFile(SettingsFile()), Not(HasSubstr(test::FtpTestServer::kPassword)));
  EXPECT_EQ(Loaded().sites[0].pass, "env:ZEPA2_FTP_PASS");  // never written back resolved
}

// Under strace, a publishing run with a hook shows the password in no write() (log, state files,
// status, pages) and in no program it starts (arguments and environment printed in full): it only
// goes to the server, over the socket.
TEST_F(ConfigCommandTest, TracedRunWritesThePasswordNowhereElse) {
  if (!fs::exists("/usr/bin/strace")) GTEST_SKIP() << "strace is not installed";
  test::FixtureProcess router("router_server.py");
  test::FtpTestServer site;
  test::WriteFile(dir_ / "site.html", "address $$IP_ADDRESS$$\n");
  test::WriteFile(dir_ / "ftp-pass", std::string(test::FtpTestServer::kPassword) + "\n");
  fs::permissions(dir_ / "ftp-pass", fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_NO_FATAL_FAILURE(ConfigurePublishing(
      router, site, "file:" + (dir_ / "ftp-pass").string(),
      {{"SYSTEM.OnPublish", "true"}, {"SYSTEM.MetricsFile", (dir_ / "zepa2.prom").string()}}));
  const fs::path trace = dir_ / "work" / "trace";
  const test::ProgramResult traced = test::RunProgram(
      {"/usr/bin/strace",
       {"-f", "-v", "-s", "65536", "-e", "trace=write,execve", "-o", trace.string(), ZEPA2_CHECK_PROGRAM, "--force"},
       {{"HOME", dir_.path().string()},
        {"XDG_CONFIG_HOME", (dir_ / "config").string()},
        {"XDG_STATE_HOME", (dir_ / "state").string()},
        {"XDG_RUNTIME_DIR", (dir_ / "run").string()}},
       dir_ / "work"},
      120s);
  ASSERT_EQ(traced.exitCode, 0) << traced.out << traced.err;
  EXPECT_THAT(ReadFile(site.home() / "index.html"), HasSubstr("address 10.0.0.1"));
  const std::string calls = ReadFile(trace);
  EXPECT_THAT(calls, HasSubstr("execve(\"/bin/sh\""));  // the hook ran, traced
  EXPECT_THAT(calls, Not(HasSubstr(test::FtpTestServer::kPassword)));
}

}  // namespace
}  // namespace zepa2
