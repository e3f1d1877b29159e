#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "core/settings/secret_reference.h"
#include "core/settings/setting_fields.h"
#include "core/settings/settings_value_text.h"
#include "core/settings/settings_store.h"
#include "core/text/cp932.h"
#include "support/temp_dir.h"

namespace zepa2 {
namespace {

using ::testing::HasSubstr;

// Every field away from its default and inside what the dialogs accept, secrets included (one
// kept in the file, the others as references), so a field the walk missed shows as a difference.
AppSettings EveryFieldSet() {
  AppSettings s;
  s.routerServer = "192.168.0.1:8080";
  s.routerPage = "status.htm?a=b";
  s.routerUser = "admin";
  s.routerPass = "env:ROUTER_PASS";
  s.routerAuth = true;
  s.routerPin = "sha256//47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU=";
  s.addressSource = AddressSource::NatPmp;
  s.igdUrl = "http://192.168.0.1:5000/rootDesc.xml";
  s.natPmpGateway = "192.168.0.1";
  for (int i = 0; i < kSiteSlots; ++i) {
    const std::string n = std::to_string(i + 1);
    s.sites[i] = {"ftp" + n + ".example.net:21",
                  "user" + n,
                  "credential:ftp" + n,
                  "/public_html/ip" + n + ".html",
                  "/home/me/" + Cp932("テンプレ") + n + ".html",
                  static_cast<net::TransferMode>(i == 4 ? 5 : i % 4),
                  std::nullopt,
                  i == 2 ? "sha256//" + std::string(43, 'B') + "=" : "",
                  "https://www.example.net/ip" + n + ".html?a=b&c=d"};
    s.sites[i].region = i == 4 ? "auto" : "ap-northeast-" + n;
  }
  s.sites[0].pass = Cp932("パスワード");  // the secret itself, as an old file holds it
  s.sites[3].pass = "keyring:";
  s.sites[4].pass = "file:/home/me/.ftp-pass";
  s.siteCount = 4;
  s.filter1 = "<td>\t";
  s.filter2 = "IP\x83";  // half a two-byte character: spelled as \x83
  s.filter3 = "\\ \x87\x90 \x7F";
  s.filter4 = Cp932("アドレス\r\n");
  s.wholePage = true;
  s.interval = 9999;
  s.startMinimized = true;
  s.runAtStart = true;
  s.useLocalAddress = true;
  s.events = false;
  s.ipv6Interface = "enp3s0";
  s.ipv6Temporary = true;
  s.decimalAddress = true;
  s.intervalUnit = 0;
  s.homePageAddress = "www.example.net/~me/$$IP_ADDRESS$$ ";
  s.notify = 2;
  s.onPublish = "notify-send \"$ZEPA2_ADDRESS\" | logger -t zepa2";
  s.metricsFile = "/var/lib/prometheus/node-exporter/zepa2.prom";
  for (int i = 0; i < kDnsSlots; ++i) {
    const std::string n = std::to_string(i + 1);
    s.dnsTargets[i] = {static_cast<DnsKind>(1 + i % 4),
                       std::nullopt,
                       "https://dyn" + n + ".example.net/u?ip=$$IP_ADDRESS$$",
                       "user" + n,
                       "env:DNS_PASS" + n,
                       "a.example.net,b" + n + ".example.net",
                       "example.net",
                       static_cast<DnsRecords>(i % 3),
                       "OK" + n,
                       "http://127.0.0.1:8443/client/v4",
                       i == 1 ? "sha256//" + std::string(43, 'C') + "=" : "",
                       std::nullopt};
    s.dnsTargets[i].algorithm = "hmac-sha512";
    s.dnsTargets[i].ttl = std::to_string(60 * (i + 1));
  }
  s.dnsTargets[0].pass = "dns secret";  // the secret itself, kept in the file
  for (int i = 0; i < kDnsSlots; ++i) s.dnsTargets[i].suffix = "::" + std::to_string(i + 1) + "/56";
  s.notifyChannels = {"smtps://mail.example.net:465",
                      false,
                      "me@example.net",
                      "mail secret",
                      "zepa2@example.net",
                      "me@example.net, you@example.org",
                      "sha256//" + std::string(43, 'D') + "=",
                      "https://discord.com/api/webhooks/1/abc",
                      WebhookKind::Ntfy,
                      "",
                      "https://hc-ping.com/0f6c1d2e"};
  return s;
}

// Sets every field of a fresh record from what GetSettingValue spells; a secret kept in the file
// goes the way `config set-password` takes it.
AppSettings Rebuilt(const AppSettings& from) {
  AppSettings rebuilt;
  for (const SettingField& field : SettingFields()) {
    SCOPED_TRACE(field.key);
    const std::optional<std::string> spelled = GetSettingValue(from, field.key);
    EXPECT_TRUE(spelled);
    if (!spelled) continue;
    const bool secretItself =
        field.kind == SettingKind::Secret && !spelled->empty() && !ParseSecretReference(*spelled);
    const std::optional<std::string> refused =
        secretItself ? SetSecretValue(rebuilt, field.key, *UnescapeSettingsText(*spelled))
                     : SetSettingValue(rebuilt, field.key, *spelled);
    EXPECT_EQ(refused, std::nullopt);
  }
  return rebuilt;
}

// What `config list` prints can be typed back with `config set`, for every key of the layout
// table, and the file those keys name is the file the window writes.
TEST(SettingFields, EveryKeyOfTheLayoutRoundTrips) {
  const AppSettings full = EveryFieldSet();
  EXPECT_EQ(Rebuilt(full), full);

  test::TempDir dir;
  ASSERT_TRUE(SaveSettings(full, dir / "ZEPA2.conf", {}).ok);
  std::vector<std::string> fileKeys;
  std::string section;
  std::istringstream lines(test::ReadFile(dir / "ZEPA2.conf"));
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("[")) section = line.substr(1, line.size() - 2);
    else fileKeys.push_back(section + "." + line.substr(0, line.find('=')));
  }
  std::vector<std::string> keys;
  for (const SettingField& field : SettingFields()) keys.push_back(field.key);
  EXPECT_EQ(keys, fileKeys);
}

TEST(SettingFields, SecretsAreTheFieldsThatHoldPasswords) {
  std::vector<std::string> secrets;
  for (const SettingField& field : SettingFields())
    if (field.kind == SettingKind::Secret) secrets.push_back(field.key);
  EXPECT_THAT(secrets, ::testing::ElementsAre("HTTP.Pass", "FTP.Pass1", "FTP.Pass2", "FTP.Pass3", "FTP.Pass4",
                                              "FTP.Pass5", "DNS.Pass1", "DNS.Pass2", "DNS.Pass3", "DNS.Pass4",
                                              "DNS.Pass5", "NOTIFY.MailPass"));
}

struct RefusedCase {
  const char* key;
  const char* spelled;
  const char* because;  // part of the message
};

// The values the dialogs refuse, and the ones a dialog's control could never hold, are refused
// with the dialog's own words where it has them; the record is left as it was.
TEST(SettingFields, RefusesWhatTheDialogsRefuse) {
  const RefusedCase cases[] = {
      {"SYSTEM.INTERVAL", "10000", "更新周期には 0 から 9999 までの整数を入力してください。"},
      {"SYSTEM.INTERVAL", "-1", "更新周期には 0 から 9999 までの整数を入力してください。"},
      {"SYSTEM.INTERVAL", " 5", "整数を指定してください"},
      {"SYSTEM.TIMENO", "3", "0 から 2 までの整数"},
      {"FTP.MIRROR", "0", "1 から 5 までの整数"},
      {"FTP.Region5", "ap northeast", "サイト５のリージョン"},  // site 5 is an S3 site
      {"HTTP.ROUTER", "2", "0 から 1 までの整数"},
      {"HTTP.Source", "3", "0 から 2 までの整数"},
      {"SYSTEM.Notify", "-1", "0 から 2 までの整数"},
      {"FTP.Mode2", "9", "転送方式が不明です"},
      {"FTP.Server1", "ftp.example.net\\x0D\\x0AQUIT", "改行文字または NUL 文字が含まれています"},
      {"FTP.File3", "a\\x0Ab", "サイト３のアップロードファイル"},
      {"HTTP.Page", "status.htm\\x0D", "改行文字または NUL 文字"},
      {"HTTP.Pin", "sha256//short", "sha256// で始まる形式"},
      {"HTTP.NatPmpGateway", "router.lan", "「ゲートウェイ」にはIPv4アドレス"},
      {"HTTP.NatPmpGateway", "192.168.0.1\\x0A", "「ゲートウェイ」に改行文字"},
      {"FTP.Pin2", "AAAA", "sha256// で始まる形式"},
      {"FTP.Pass1", "hunter2", "パスワードそのものを指定できません"},
      {"HTTP.Pass", "hunter2", "パスワードそのものを指定できません"},
      {"FTP.Pass1", "env:", "環境変数の名前が正しくありません"},
      {"FTP.Pass1", "credential:", "名前がありません"},
      {"FTP.Pass1", "env:NOT-A-NAME", "環境変数の名前が正しくありません"},
      {"FTP.Pass1", "file:relative/path", "/ で始まるパス"},
      {"FTP.Pass1", "credential:../x", "/ は使えません"},
      {"FTP.Pass1", "keyring:other", "keyring: の後には何も書きません"},
      {"SYSTEM.MYHOME", "C:\\dir", "\\ の書き方が正しくありません"},
      {"FILTER.FILTER1", "\xF0\x9F\x98\x80", "CP932"},  // an emoji has no CP932 form
      {"DNS.Suffix1", "::", "「DNS.Suffix1」のインターフェースIDがすべて0です"},
      {"DNS.Suffix2", "::1:0:0:0:0", "プレフィックスの部分にかかっています"},
      {"DNS.Suffix3", "::12/130", "1から127"},
      {"DNS.Suffix4", "nas.lan", "インターフェースIDの形式"},
      {"NOTIFY.MailServer", "mail.example.net", "smtp://ホスト[:ポート]"},
      {"NOTIFY.MailServer", "smtp://mail.example.net/x", "「メール：送信サーバ」"},
      {"NOTIFY.MailServer", "smtp://mail.example.net:0", "smtp://ホスト[:ポート]"},
      {"NOTIFY.MailTo", "me@example.net, you", "「メール：宛先」のメールアドレス「you」"},
      {"NOTIFY.MailTo", "me@example.net\x0D\x0ARCPT TO:<x@y>", "メールアドレス"},
      {"NOTIFY.MailFrom", "a@example.net,b@example.net", "「メール：差出人」"},
      {"NOTIFY.MailUser", "me\x0A", "改行文字または NUL 文字"},
      {"NOTIFY.MailPass", "secret", "パスワードそのものを指定できません"},
      {"NOTIFY.MailPin", "sha256//short", "sha256// で始まる形式"},
      {"NOTIFY.WebhookUrl", "discord.com/api/webhooks/1/abc", "http:// または https://"},
      {"NOTIFY.WebhookUrl", "https://example.net/hook here", "「Webhook：URL」"},
      {"NOTIFY.WebhookKind", "4", "0 から 3 までの整数"},
      {"NOTIFY.PingUrl", "ftp://example.net/ping", "「死活監視：ping URL」"},
      {"NOTIFY.MailTls", "2", "0 から 1 までの整数"},
      {"SYSTEM.NoSuchKey", "1", "という設定はありません"},
      {"FTP", "1", "という設定はありません"},
  };
  const AppSettings before = EveryFieldSet();
  for (const RefusedCase& c : cases) {
    SCOPED_TRACE(std::string(c.key) + "=" + c.spelled);
    AppSettings settings = before;
    const std::optional<std::string> refused = SetSettingValue(settings, c.key, c.spelled);
    ASSERT_TRUE(refused);
    EXPECT_THAT(*refused, HasSubstr(c.because));
    EXPECT_EQ(settings, before);
  }
}

TEST(SettingFields, TakesTextAsTheFileSpellsIt) {
  AppSettings settings;
  EXPECT_EQ(SetSettingValue(settings, "FILTER.FILTER1", "WAN側IP\\x83"), std::nullopt);
  EXPECT_EQ(settings.filter1, Cp932("WAN側IP") + "\x83");
  EXPECT_EQ(SetSettingValue(settings, "SYSTEM.MYHOME", "C:\\\\dir"), std::nullopt);
  EXPECT_EQ(settings.homePageAddress, "C:\\dir");
  // A secret's reference may be set and cleared; only the secret itself needs set-password.
  EXPECT_EQ(SetSettingValue(settings, "FTP.Pass2", "env:FTP_PASS"), std::nullopt);
  EXPECT_EQ(settings.sites[1].pass, "env:FTP_PASS");
  EXPECT_EQ(SetSettingValue(settings, "FTP.Pass2", ""), std::nullopt);
  EXPECT_EQ(settings.sites[1].pass, "");
  // set-password is for secrets only.
  EXPECT_THAT(SetSecretValue(settings, "FTP.User1", "x").value_or(""),
              HasSubstr("パスワードの設定ではありません"));
}

// A mode of a newer version stays as the file has it until a known one replaces it.
TEST(SettingFields, UnknownModeIsShownAndReplacedButNeverSet) {
  AppSettings settings;
  settings.sites[0].unknownMode = "7";
  EXPECT_EQ(GetSettingValue(settings, "FTP.Mode1"), "7");
  EXPECT_EQ(SetSettingValue(settings, "FTP.Mode1", "3"), std::nullopt);
  EXPECT_EQ(settings.sites[0].mode, net::TransferMode::Sftp);
  EXPECT_EQ(settings.sites[0].unknownMode, std::nullopt);
}

}  // namespace
}  // namespace zepa2
