#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "core/settings/password_scramble.h"
#include "core/settings/settings_store.h"
#include "core/net/transfer_mode.h"
#include "support/file_access_caps.h"
#include "support/temp_dir.h"

namespace zepa2 {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;
using ::testing::HasSubstr;

// Counts the bad-password notices of one load or save.
struct NoticeCounter {
  int count = 0;
  BadPasswordByteNotice Notice() {
    return [this] { ++count; };
  }
};

// The value of one Name= line of a saved file ("" when absent).
std::string StoredLine(const std::string& text, const std::string& name) {
  const std::string key = "\n" + name + "=";
  const std::size_t at = text.find(key);
  if (at == std::string::npos) return "";
  const std::size_t start = at + key.size();
  return text.substr(start, text.find('\n', start) - start);
}

unsigned Mode(const fs::path& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return info.st_mode & 07777;
}

class SettingsFileTest : public ::testing::Test {
 protected:
  test::TempDir dir_;
  fs::path file_ = dir_.path() / "ZEPA" / "ZEPA2.conf";

  AppSettings SaveAndLoad(const AppSettings& settings, int& saveNotices, int& loadNotices) {
    NoticeCounter onSave, onLoad;
    EXPECT_TRUE(SaveSettings(settings, file_, onSave.Notice()).ok);
    AppSettings loaded;
    LoadSettings(loaded, file_, onLoad.Notice());
    saveNotices = onSave.count;
    loadNotices = onLoad.count;
    return loaded;
  }
};

AppSettings EveryFieldSet() {
  std::string everyPasswordByte;
  for (int b = 0x20; b <= 0xFF; ++b) everyPasswordByte += static_cast<char>(b);
  AppSettings s;
  s.runAtStart = 1;
  s.homePageAddress = "www.example.net/~me/$$IP_ADDRESS$$ ";
  s.siteCount = 7;  // out of the dialog's range: passed through untouched
  s.decimalAddress = 1;
  s.useLocalAddress = 1;
  s.startMinimized = 1;
  s.intervalUnit = 2;
  s.interval = -12;
  s.filter1 = "<td>\t";
  s.filter2 = "IP\x83";  // half a two-byte character
  s.filter3 = "\\ \x87\x90 \x7F";
  s.filter4 = "\x83\x41\x83\x68\x83\x8C\x83\x58";  // アドレス
  for (int i = 0; i < kSiteSlots; ++i) {
    const std::string n = std::to_string(i + 1);
    s.sites[i] = {"ftp" + n + ".example.net:21", "user" + n, "", "/public_html/ip" + n + ".html",
                  "/home/me/\x83\x65\x83\x93\x83\x76\x83\x8C" + n + ".html",
                  static_cast<net::TransferMode>(i + 1), std::nullopt,
                  i == 2 ? "sha256//" + std::string(43, 'A' + i) + "=" : "",
                  "https://www.example.net/ip" + n + ".html?a=b&c=d", i == 4 ? "ap-northeast-1" : ""};
  }
  s.sites[0].pass = "\x83\x70\x83\x58\x83\x8F\x81\x5B\x83\x68";  // パスワード
  s.sites[1].pass = everyPasswordByte;
  s.sites[2].pass = "";
  s.sites[3].pass = " both ends \\ ";
  s.sites[4].pass = "\xFF\xFF\x20\x20";
  s.routerPage = "status.htm?a=b";
  s.routerServer = "192.168.0.1:8080";
  s.routerUser = "admin";
  s.routerPass = "router secret=";
  s.routerAuth = 1;
  s.addressSource = AddressSource::NatPmp;
  s.igdUrl = "http://192.168.0.1:5000/rootDesc.xml";
  s.natPmpGateway = "192.168.0.1";
  s.wholePage = 1;
  s.routerPin = "sha256//47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU=";
  s.notify = 2;
  s.onPublish = "notify-send \"$ZEPA2_ADDRESS\" | logger -t zepa2 ";
  s.events = false;
  s.dnsTargets[0] = {DnsKind::Url, std::nullopt, "https://dyn.example.jp/update?ip=$$IP_ADDRESS$$", "me",
                     "url secret", "home.example.jp", "", DnsRecords::Both, "OK", "", ""};
  s.dnsTargets[1] = {DnsKind::Dyndns2, std::nullopt, "members.example.net", "user", everyPasswordByte,
                     "a.example.net,b.example.net", "", DnsRecords::Aaaa, "", "",
                     "sha256//47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU="};
  s.dnsTargets[3] = {DnsKind::Cloudflare, std::nullopt, "", "", "token-\x83\x70", "www.example.org",
                     "example.org", DnsRecords::A, "", "http://127.0.0.1:8443/client/v4", ""};
  s.dnsTargets[4].unknownKind = "9";
  s.notifyChannels = {"smtp://127.0.0.1:2525", false, "me", everyPasswordByte, "zepa2@example.net",
                      "a@example.net,b@example.net", "sha256//47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU=",
                      "https://ntfy.sh/zepa2", WebhookKind::Slack, "", "https://hc-ping.com/uuid"};
  return s;
}

TEST_F(SettingsFileTest, EveryFieldComesBackUnchanged) {
  const AppSettings saved = EveryFieldSet();
  int saveNotices = 0, loadNotices = 0;
  EXPECT_EQ(SaveAndLoad(saved, saveNotices, loadNotices), saved);
  EXPECT_EQ(saveNotices, 0);
  EXPECT_EQ(loadNotices, 0);
}

TEST_F(SettingsFileTest, DefaultRecordIsWrittenInFixedOrder) {
  ASSERT_TRUE(SaveSettings(AppSettings{}, file_, {}).ok);
  std::string expected =
      "[HTTP]\nServer=\nPage=\nUser=\nPass=\nROUTER=0\nPin=\nSource=0\nIgdUrl=\nNatPmpGateway=\n"
      "[FTP]\n";
  for (int n = 1; n <= 5; ++n) {
    const std::string number = std::to_string(n);
    for (const char* name : {"Server", "User", "Pass", "File", "Path"}) expected += name + number + "=\n";
    expected += "Mode" + number + "=0\nPin" + number + "=\nCheckUrl" + number + "=\n";
  }
  expected +=
      "MIRROR=1\n[FILTER]\nFILTER1=\nFILTER2=\nFILTER3=\nFILTER4=\nWholePage=0\n[SYSTEM]\nINTERVAL=30\n"
      "STARTMIN=0\nSTARTRUN=0\nLOCALGLOBAL=0\nBIT32=0\nTIMENO=1\nMYHOME=127.0.0.1\nNotify=1\nOnPublish=\n"
      "MetricsFile=\n";
  EXPECT_EQ(ReadFile(file_), expected);
}

// Numbers a hand edit or another version may leave read once, at load, the way the check always
// read them: the router's user and password go only with ROUTER=1, a box is ticked by any number
// but 0, and the notice choice is held to its three values. An unknown source is kept, never read
// as the router page.
TEST_F(SettingsFileTest, OddNumbersReadAsTheCheckAlwaysReadThem) {
  fs::create_directories(file_.parent_path());
  WriteFile(file_, "[HTTP]\nROUTER=2\nSource=9\n[FILTER]\nWholePage=-1\n[SYSTEM]\nSTARTMIN=5\nBIT32=0\nNotify=7\n");
  AppSettings loaded;
  LoadSettings(loaded, file_, {});
  EXPECT_FALSE(loaded.routerAuth);
  EXPECT_EQ(loaded.unknownSource, "9");
  EXPECT_TRUE(loaded.wholePage);
  EXPECT_TRUE(loaded.startMinimized);
  EXPECT_FALSE(loaded.decimalAddress);
  EXPECT_EQ(loaded.notify, 2);
}

// Checks on events are on unless the file says 0; a file from before them saves as it was, so the
// line is written only when they are off.
TEST_F(SettingsFileTest, EventsLineIsWrittenOnlyWhenTheyAreOff) {
  fs::create_directories(file_.parent_path());
  const std::string before = "[SYSTEM]\nSTARTMIN=0\n";
  struct Case {
    const char* line;
    bool events;
  };
  for (const Case& c : {Case{"", true}, Case{"Events=0\n", false}, Case{"Events=1\n", true}, Case{"Events=7\n", true}}) {
    WriteFile(file_, before + c.line);
    AppSettings loaded;
    LoadSettings(loaded, file_, {});
    EXPECT_EQ(loaded.events, c.events) << c.line;
  }
  AppSettings settings;
  ASSERT_TRUE(SaveSettings(settings, file_, {}).ok);
  const std::string on = ReadFile(file_);
  EXPECT_EQ(on.find("Events"), std::string::npos);
  settings.events = false;
  ASSERT_TRUE(SaveSettings(settings, file_, {}).ok);
  EXPECT_EQ(ReadFile(file_), on + "Events=0\n");
}

// A file written before the address sources existed asks the router page and uses the markers.
TEST_F(SettingsFileTest, FileWithoutSourceKeysKeepsTheRouterPage) {
  fs::create_directories(file_.parent_path());
  WriteFile(file_, "[HTTP]\nServer=192.168.0.1\nPage=st.htm\n[FILTER]\nFILTER1=a\n");
  AppSettings loaded;
  loaded.addressSource = AddressSource::Upnp;
  loaded.wholePage = 1;
  LoadSettings(loaded, file_, {});
  EXPECT_EQ(loaded.addressSource, AddressSource::RouterPage);
  EXPECT_FALSE(loaded.wholePage);
  EXPECT_EQ(loaded.igdUrl, "");
  EXPECT_EQ(loaded.natPmpGateway, "");
  EXPECT_EQ(loaded.routerServer, "192.168.0.1");
}

// A file from before transfer modes and pins: every site keeps active FTP and nothing is pinned.
TEST_F(SettingsFileTest, FileWithoutModesLoadsAsActiveFtpWithoutPins) {
  fs::create_directories(file_.parent_path());
  WriteFile(file_, "[HTTP]\nServer=192.168.0.1\n[FTP]\nServer1=ftp.example.net\nMIRROR=1\n");
  AppSettings loaded;
  LoadSettings(loaded, file_, {});
  EXPECT_EQ(loaded.sites[0].server, "ftp.example.net");
  for (const FtpSite& site : loaded.sites) {
    EXPECT_EQ(site.mode, net::TransferMode::ActiveFtp);
    EXPECT_EQ(site.unknownMode, std::nullopt);
    EXPECT_EQ(site.pin, "");
  }
  EXPECT_EQ(loaded.routerPin, "");
}

// The region came after the first files with modes: a file without it saves byte for byte as it
// was, and a region that is set has its line after the site's check address.
TEST_F(SettingsFileTest, RegionIsWrittenOnlyWhenSet) {
  AppSettings before;
  before.sites[0] = {"dav.example.net", "me", "pw", "/dav/ip.html", "/home/me/t.html", net::TransferMode::WebDav};
  before.sites[1] = {"https://acct.r2.cloudflarestorage.com", "key", "secret", "/www/ip.html", "/home/me/t.html",
                     net::TransferMode::S3};
  before.siteCount = 2;
  ASSERT_TRUE(SaveSettings(before, file_, {}).ok);
  const std::string old = ReadFile(file_);
  EXPECT_EQ(old.find("Region"), std::string::npos);
  AppSettings loaded;
  LoadSettings(loaded, file_, {});
  EXPECT_EQ(loaded, before);
  ASSERT_TRUE(SaveSettings(loaded, file_, {}).ok);
  EXPECT_EQ(ReadFile(file_), old);

  loaded.sites[1].region = "auto";
  ASSERT_TRUE(SaveSettings(loaded, file_, {}).ok);
  const std::string text = ReadFile(file_);
  EXPECT_THAT(text, HasSubstr("Mode2=5\nPin2=\nCheckUrl2=\nRegion2=auto\nServer3="));
  EXPECT_THAT(text, HasSubstr("Mode1=4\n"));
  AppSettings again;
  LoadSettings(again, file_, {});
  EXPECT_EQ(again.sites[1].region, "auto");
  EXPECT_EQ(again.sites[1].mode, net::TransferMode::S3);
}

// The key's algorithm and the TTL came with RFC 2136 targets: a target without them saves as it
// did before them, and set they follow the target's pin.
TEST_F(SettingsFileTest, DnsAlgorithmAndTtlAreWrittenOnlyWhenSet) {
  AppSettings s;
  s.dnsTargets[0] = {.kind = DnsKind::Dyndns2, .user = "me", .host = "home.example.net"};
  ASSERT_TRUE(SaveSettings(s, file_, {}).ok);
  const std::string old = ReadFile(file_);
  EXPECT_EQ(old.find("Algorithm"), std::string::npos);
  EXPECT_EQ(old.find("Ttl"), std::string::npos);

  s.dnsTargets[1] = {.kind = DnsKind::Rfc2136, .url = "[2001:db8::53]:5353", .user = "key", .zone = "example.test",
                     .algorithm = "hmac-sha512", .ttl = "60"};
  int saveNotices = 0, loadNotices = 0;
  EXPECT_EQ(SaveAndLoad(s, saveNotices, loadNotices), s);
  EXPECT_THAT(ReadFile(file_), HasSubstr("Kind2=4\n"));
  EXPECT_THAT(ReadFile(file_), HasSubstr("Pin2=\nAlgorithm2=hmac-sha512\nTtl2=60\nKind3="));
}

// A mode this version does not know (a newer version's, a typo) is never read as another mode:
// it is kept as the file has it, saved back unchanged, and the site refuses to connect.
TEST_F(SettingsFileTest, UnknownModeIsKeptAndNeverReadAsAnother) {
  fs::create_directories(file_.parent_path());
  const std::string text = "[FTP]\nServer1=ftp.example.net\nMode1=3\nServer2=dav.example.net\nMode2=7\n"
                           "Server3=x\nMode3=-1\nMIRROR=3\n";
  WriteFile(file_, text);
  AppSettings loaded;
  LoadSettings(loaded, file_, {});
  EXPECT_EQ(loaded.sites[0].mode, net::TransferMode::Sftp);
  EXPECT_EQ(loaded.sites[0].unknownMode, std::nullopt);
  EXPECT_EQ(loaded.sites[1].unknownMode, "7");
  EXPECT_EQ(loaded.sites[2].unknownMode, "-1");
  ASSERT_TRUE(SaveSettings(loaded, file_, {}).ok);
  const std::string saved = ReadFile(file_);
  EXPECT_NE(saved.find("Mode1=3\n"), std::string::npos);
  EXPECT_NE(saved.find("Mode2=7\n"), std::string::npos);
  EXPECT_NE(saved.find("Mode3=-1\n"), std::string::npos);
}

// A value that guards a connection and cannot be read (a blank an editor left, garbage, a bad
// escape) is kept as the file spells it, like an unknown number, and saved back exactly so.
TEST_F(SettingsFileTest, UnreadableGuardingValuesAreKeptAsSpelled) {
  struct Case {
    const char* section;
    const char* line;
    const char* spelled;
    std::function<const UnusableValue&(const AppSettings&)> kept;
  };
  const auto mode = [](const AppSettings& s) -> const UnusableValue& { return s.sites[0].unknownMode; };
  const auto source = [](const AppSettings& s) -> const UnusableValue& { return s.unknownSource; };
  const auto kind = [](const AppSettings& s) -> const UnusableValue& { return s.dnsTargets[0].unknownKind; };
  const auto sitePin = [](const AppSettings& s) -> const UnusableValue& { return s.sites[0].unreadablePin; };
  const auto routerPin = [](const AppSettings& s) -> const UnusableValue& { return s.unreadableRouterPin; };
  const auto dnsPin = [](const AppSettings& s) -> const UnusableValue& { return s.dnsTargets[0].unreadablePin; };
  const Case cases[] = {
      {"FTP", "Mode1", "2 ", mode},          {"FTP", "Mode1", "2x", mode},         {"FTP", "Mode1", "", mode},
      {"HTTP", "Source", " 1", source},      {"HTTP", "Source", "upnp", source},   {"DNS", "Kind1", " ", kind},
      {"DNS", "Kind1", "3;", kind},          {"FTP", "Pin1", "sha256//\\x", sitePin},
      {"HTTP", "Pin", "sha256//\\xZZ", routerPin}, {"DNS", "Pin1", "\\q", dnsPin},
  };
  fs::create_directories(file_.parent_path());
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.line) + "=" + c.spelled);
    const std::string line = std::string(c.line) + "=" + c.spelled + "\n";
    WriteFile(file_, "[" + std::string(c.section) + "]\n" + line + "Host1=x\n");
    AppSettings loaded;
    LoadSettings(loaded, file_, {});
    EXPECT_EQ(c.kept(loaded), c.spelled);
    ASSERT_TRUE(SaveSettings(loaded, file_, {}).ok);
    EXPECT_THAT(ReadFile(file_), HasSubstr("\n" + line));
  }
}

// A newer version's keys and sections are kept as they were, each key in its section, when this
// version saves the file.
TEST_F(SettingsFileTest, KeysOfANewerVersionSurviveASave) {
  AppSettings settings;
  settings.sites[0].server = "ftp.example.net";
  ASSERT_TRUE(SaveSettings(settings, file_, {}).ok);
  std::string text = ReadFile(file_);
  text.insert(text.find("[FTP]"), "Proxy=socks5://127.0.0.1:1080\n");
  text.insert(text.find("[FILTER]"), "Retries1=3\nMode9=\\xZZ \n");
  text += "[MAIL]\nTo=me@example.net\nPort=587\n[HEARTBEAT]\nUrl=https://hc.example.net/x\n";
  WriteFile(file_, text);

  AppSettings loaded;
  LoadSettings(loaded, file_, {});
  loaded.sites[0].server = "ftp2.example.net";
  ASSERT_TRUE(SaveSettings(loaded, file_, {}).ok);
  std::string expected = text;
  expected.replace(expected.find("ftp.example.net"), 15, "ftp2.example.net");
  EXPECT_EQ(ReadFile(file_), expected);
  ASSERT_TRUE(SaveSettings(loaded, file_, {}).ok);
  EXPECT_EQ(ReadFile(file_), expected);
}

// A file written before DNS targets existed: no targets, and saved back byte for byte.
TEST_F(SettingsFileTest, FileFromBeforeDnsTargetsSavesByteIdentical) {
  const std::string before = ReadFile(fs::path(ZEPA2_FIXTURES_DIR) / "settings" / "before-dns.conf");
  fs::create_directories(file_.parent_path());
  WriteFile(file_, before);
  AppSettings loaded;
  LoadSettings(loaded, file_, {});
  EXPECT_EQ(loaded.sites[0].pass, "abc");
  EXPECT_FALSE(AnyDnsTargetSet(loaded.dnsTargets));
  ASSERT_TRUE(SaveSettings(loaded, file_, {}).ok);
  EXPECT_EQ(ReadFile(file_), before);
}

// A file from before the notices beyond the desktop has no [NOTIFY] and saves byte for byte; the
// section comes with its first value, its password scrambled on a keystream of its own, and an
// unknown webhook kind reads as the nearest one.
TEST_F(SettingsFileTest, NotifySectionIsWrittenOnlyWhenSomethingIsSet) {
  const std::string before = ReadFile(fs::path(ZEPA2_FIXTURES_DIR) / "settings" / "before-dns.conf");
  fs::create_directories(file_.parent_path());
  WriteFile(file_, before);
  AppSettings loaded;
  LoadSettings(loaded, file_, {});
  EXPECT_EQ(loaded.notifyChannels, NotifyChannels{});
  ASSERT_TRUE(SaveSettings(loaded, file_, {}).ok);
  EXPECT_EQ(ReadFile(file_), before);

  loaded.notifyChannels.mailPass = "abc";
  loaded.notifyChannels.mailTls = false;
  ASSERT_TRUE(SaveSettings(loaded, file_, {}).ok);
  const std::string saved = ReadFile(file_);
  ASSERT_EQ(saved.substr(0, before.size()), before);
  const std::string notify = saved.substr(before.size());
  EXPECT_THAT(notify, ::testing::StartsWith("[NOTIFY]\nMailServer=\nMailTls=0\n"));
  EXPECT_EQ(StoredLine(notify, "MailPass"), "egk");  // as [DNS] Pass1: the stream starts afresh

  std::string edited = saved;
  edited.replace(edited.find("WebhookKind=0"), 13, "WebhookKind=9");
  WriteFile(file_, edited);
  LoadSettings(loaded, file_, {});
  EXPECT_EQ(loaded.notifyChannels.webhookKind, kLastWebhookKind);
  EXPECT_EQ(loaded.notifyChannels.mailPass, "abc");
}

// The DNS passwords start the keystream afresh, so they never move when an FTP password changes.
TEST_F(SettingsFileTest, DnsPasswordsHaveAKeystreamOfTheirOwn) {
  AppSettings s;
  s.dnsTargets[0] = {.kind = DnsKind::Dyndns2, .pass = "abc"};
  s.dnsTargets[2] = {.kind = DnsKind::Cloudflare, .pass = "x\xFF"};
  ASSERT_TRUE(SaveSettings(s, file_, {}).ok);
  const std::string alone = ReadFile(file_);
  const std::string dns = alone.substr(alone.find("[DNS]\n"));
  EXPECT_EQ(StoredLine(dns, "Pass1"), "egk");    // the keys of the stream's start, as for Pass1 of [FTP]
  EXPECT_EQ(StoredLine(dns, "Pass3"), "y\\xFF");

  s.sites[0].pass = "a much longer FTP password";
  int saveNotices = 0, loadNotices = 0;
  EXPECT_EQ(SaveAndLoad(s, saveNotices, loadNotices), s);
  const std::string withFtp = ReadFile(file_);
  EXPECT_EQ(withFtp.substr(withFtp.find("[DNS]\n")), dns);
}

// Kind: empty or 0 is no target, an unknown number is kept and saved back; Records outside its
// three choices reads as the nearest.
TEST_F(SettingsFileTest, DnsNumbersReadOnceAtLoad) {
  fs::create_directories(file_.parent_path());
  WriteFile(file_, "[DNS]\nKind1=\nKind2=0\nKind3=3\nRecords3=7\nKind4=12\nRecords4=-1\nHost4=x\n");
  AppSettings loaded;
  LoadSettings(loaded, file_, {});
  EXPECT_EQ(loaded.dnsTargets[0], DnsTarget{});
  EXPECT_EQ(loaded.dnsTargets[1], DnsTarget{});
  EXPECT_EQ(loaded.dnsTargets[2].kind, DnsKind::Cloudflare);
  EXPECT_EQ(loaded.dnsTargets[2].records, DnsRecords::Both);
  EXPECT_EQ(loaded.dnsTargets[3].unknownKind, "12");
  EXPECT_EQ(loaded.dnsTargets[3].records, DnsRecords::A);
  ASSERT_TRUE(SaveSettings(loaded, file_, {}).ok);
  EXPECT_THAT(ReadFile(file_), HasSubstr("[DNS]\nKind1=0\n"));
  EXPECT_THAT(ReadFile(file_), HasSubstr("\nKind4=12\n"));
}

TEST(PasswordKeyStream, FollowsTheClassicGeneratorFromTheFixedSeed) {
  PasswordKeyStream keys;
  const int expected[] = {19594, 22401, 32749, 6626, 1222, 641, 21511, 11653};
  for (int value : expected) EXPECT_EQ(keys.Draw(), value);
}

// Keys at the stream start are 4, 5, 8, 1, 0, 0, 5, 2.
TEST_F(SettingsFileTest, StoredPasswordFormIsPinned) {
  AppSettings s;
  s.sites[0].pass = "abc";      // ('a'-0x20)^4 +0x20 = 'e', ('b'-0x20)^5 = 'g', ('c'-0x20)^8 = 'k'
  s.sites[2].pass = "x\xFF";    // keys 1, 0: 'y', 0xFF
  s.routerPass = "abc";
  ASSERT_TRUE(SaveSettings(s, file_, {}).ok);
  const std::string text = ReadFile(file_);
  EXPECT_EQ(StoredLine(text, "Pass1"), "egk");
  EXPECT_EQ(StoredLine(text, "Pass2"), "");
  EXPECT_EQ(StoredLine(text, "Pass3"), "y\\xFF");
  EXPECT_EQ(StoredLine(text, "Pass"), "abc");  // the router password is kept plain
}

TEST_F(SettingsFileTest, LongerFirstPasswordShiftsTheLaterOnesStream) {
  AppSettings shortFirst;
  shortFirst.sites[0].pass = "ab";
  shortFirst.sites[1].pass = "secretpassword";
  AppSettings longFirst = shortFirst;
  longFirst.sites[0].pass = "abc";

  int saveNotices = 0, loadNotices = 0;
  EXPECT_EQ(SaveAndLoad(shortFirst, saveNotices, loadNotices), shortFirst);
  const std::string shortStored = StoredLine(ReadFile(file_), "Pass2");
  EXPECT_EQ(SaveAndLoad(longFirst, saveNotices, loadNotices), longFirst);
  EXPECT_NE(StoredLine(ReadFile(file_), "Pass2"), shortStored);
}

TEST_F(SettingsFileTest, ControlByteInPasswordBecomesSpaceAfterOneNoticeEach) {
  AppSettings s;
  s.sites[1].pass = "a\tb\tc";
  s.sites[0].pass = "\x01";
  int saveNotices = 0, loadNotices = 0;
  const AppSettings loaded = SaveAndLoad(s, saveNotices, loadNotices);
  EXPECT_EQ(saveNotices, 3);
  EXPECT_EQ(loadNotices, 0);
  EXPECT_EQ(loaded.sites[0].pass, " ");
  EXPECT_EQ(loaded.sites[1].pass, "a b c");
}

TEST_F(SettingsFileTest, ControlByteInStoredPasswordGivesOneNoticeEach) {
  fs::create_directories(file_.parent_path());
  WriteFile(file_, "[FTP]\nPass1=\\x09g\\x00\n");
  NoticeCounter notices;
  AppSettings loaded;
  LoadSettings(loaded, file_, notices.Notice());
  EXPECT_EQ(notices.count, 2);
  // A bad stored byte reads as a stored space would at its place (keys 4 and 8 there).
  EXPECT_EQ(loaded.sites[0].pass, "$b(");
}

TEST_F(SettingsFileTest, FirstStartLoadsDefaultsAndWritesNothing) {
  AppSettings loaded = EveryFieldSet();
  NoticeCounter notices;
  LoadSettings(loaded, file_, notices.Notice());
  EXPECT_EQ(loaded, AppSettings{});
  EXPECT_EQ(loaded.interval, 30);
  EXPECT_EQ(loaded.homePageAddress, "127.0.0.1");
  EXPECT_FALSE(fs::exists(file_.parent_path()));
}

TEST_F(SettingsFileTest, ReadsHandWrittenFile) {
  fs::create_directories(file_.parent_path());
  WriteFile(file_,
            "; written by hand\r\n"
            "# another comment\n"
            "\n"
            "[SYSTEM]\r\n"
            "INTERVAL=15\r\n"
            "Unknown=ignored\n"
            "MYHOME= spaced = kept \r\n"
            "[HTTP]\n"
            "Server=\\x5c\\x5C\n"
            "[FTP]\n"
            "Server2=\xE3\x83\x86\n"
            "MIRROR=-3");  // no newline at the end
  AppSettings loaded;
  LoadSettings(loaded, file_, {});
  EXPECT_EQ(loaded.interval, 15);
  EXPECT_EQ(loaded.homePageAddress, " spaced = kept ");
  EXPECT_EQ(loaded.routerServer, "\\\\");
  EXPECT_EQ(loaded.sites[1].server, "\x83\x65");
  EXPECT_EQ(loaded.siteCount, -3);
  EXPECT_EQ(loaded.intervalUnit, 1);

  ASSERT_TRUE(SaveSettings(loaded, file_, {}).ok);
  EXPECT_FALSE(fs::exists(file_.string() + ".bak"));  // nothing in it was unreadable
}

TEST_F(SettingsFileTest, BrokenFileLoadsWhatItCanAndIsKeptOnFirstSave) {
  fs::create_directories(file_.parent_path());
  const std::string broken =
      "[HTTP]\n"
      "Server=router.lan\n"
      "garbage without equals\n"
      "[broken section\n" +
      std::string("\x00\x01\xFF\xFE binary\n", 13) +
      "User=\xC3(\n"                            // invalid UTF-8
      "Page=\\q\n"                              // bad escape
      "ROUTER=1\n"
      "[FTP]\n"
      "Server1=" + std::string(100 * 1024, 'x') + "\n" +
      "User1=me\n"
      "MIRROR=99999999999\n"                     // beyond int
      "[SYSTEM]\n"
      "INTERVAL=abc\n"
      "STARTRUN=1\n";                            // no FILTER section at all
  WriteFile(file_, broken);

  AppSettings loaded;
  LoadSettings(loaded, file_, {});
  AppSettings expected;
  expected.routerServer = "router.lan";
  expected.routerAuth = 1;
  expected.sites[0].user = "me";
  expected.runAtStart = 1;
  EXPECT_EQ(loaded, expected);

  const fs::path backup = file_.string() + ".bak";
  ASSERT_TRUE(SaveSettings(loaded, file_, {}).ok);
  EXPECT_EQ(ReadFile(backup), broken);
  EXPECT_EQ(Mode(backup), 0600u);

  // The rewritten file is clean, so later saves leave the kept copy alone.
  fs::remove(backup);
  ASSERT_TRUE(SaveSettings(loaded, file_, {}).ok);
  EXPECT_FALSE(fs::exists(backup));
  AppSettings again;
  LoadSettings(again, file_, {});
  EXPECT_EQ(again, expected);
}

TEST_F(SettingsFileTest, FileIsPrivateAndNoTemporaryIsLeft) {
  ASSERT_TRUE(SaveSettings(AppSettings{}, file_, {}).ok);
  EXPECT_EQ(Mode(file_.parent_path()), 0700u);
  EXPECT_EQ(Mode(file_), 0600u);

  // A folder that exists keeps the mode its owner gave it; the file is always private.
  fs::permissions(file_.parent_path(), fs::perms(0755));
  fs::permissions(file_, fs::perms(0644));
  ASSERT_TRUE(SaveSettings(EveryFieldSet(), file_, {}).ok);
  EXPECT_EQ(Mode(file_.parent_path()), 0755u);
  EXPECT_EQ(Mode(file_), 0600u);
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(file_.parent_path()))
    names.push_back(entry.path().filename().string());
  EXPECT_THAT(names, ::testing::ElementsAre("ZEPA2.conf"));
}

TEST_F(SettingsFileTest, FailedSaveNamesTheFileAndReason) {
  // Permission bits do not stop root, so each case blocks the write with the file system's shape.
  struct Case { const char* what; fs::path file; };
  const fs::path blocker = dir_.path() / "plain-file";
  WriteFile(blocker, "not a folder");
  const fs::path folderInTheWay = dir_.path() / "taken" / "ZEPA2.conf";
  fs::create_directories(folderInTheWay / "inside");
  const Case cases[] = {
      {"config folder is a file", blocker / "ZEPA" / "ZEPA2.conf"},
      {"settings folder is a file", blocker / "ZEPA2.conf"},
      {"settings file is a folder", folderInTheWay},
  };
  for (const auto& c : cases) {
    const SaveResult result = SaveSettings(EveryFieldSet(), c.file, {});
    EXPECT_FALSE(result.ok) << c.what;
    EXPECT_THAT(result.error, HasSubstr(c.file.string())) << c.what;
    EXPECT_THAT(result.error, HasSubstr("(")) << c.what;  // the system's reason follows
  }
  EXPECT_EQ(ReadFile(blocker), "not a folder");
  EXPECT_EQ(fs::directory_iterator(folderInTheWay.parent_path())->path(), folderInTheWay);
}

TEST_F(SettingsFileTest, FoldersMadeForTheFileArePrivate) {
  const fs::path deep = dir_.path() / "new" / "config" / "ZEPA" / "ZEPA2.conf";
  ASSERT_TRUE(SaveSettings(AppSettings{}, deep, {}).ok);
  for (const fs::path& made : {dir_.path() / "new", dir_.path() / "new" / "config", deep.parent_path()})
    EXPECT_EQ(Mode(made), 0700u) << made;
}

// A settings file kept elsewhere (a dotfiles repository) and linked in: the file it leads to gets
// the new settings, atomically in its own folder, and the link stays a link.
TEST_F(SettingsFileTest, SavingThroughALinkReplacesItsTarget) {
  const fs::path dotfiles = dir_.path() / "dotfiles";
  fs::create_directories(dotfiles);
  fs::create_directories(file_.parent_path());
  WriteFile(dotfiles / "ZEPA2.conf", "[HTTP]\nServer=old\n");
  fs::create_symlink("dotfiles/ZEPA2.conf", dir_.path() / "chain");
  fs::create_symlink(dir_.path() / "chain", file_);  // a link to a (relative) link

  AppSettings saved = EveryFieldSet();
  ASSERT_TRUE(SaveSettings(saved, file_, {}).ok);
  EXPECT_TRUE(fs::is_symlink(file_));
  EXPECT_TRUE(fs::is_symlink(dir_.path() / "chain"));
  AppSettings loaded;
  LoadSettings(loaded, dotfiles / "ZEPA2.conf", {});
  EXPECT_EQ(loaded, saved);
  EXPECT_EQ(std::distance(fs::directory_iterator(dotfiles), fs::directory_iterator()), 1);
  EXPECT_EQ(std::distance(fs::directory_iterator(file_.parent_path()), fs::directory_iterator()), 1);

  // A link whose target is not there yet makes the file there.
  fs::remove(dotfiles / "ZEPA2.conf");
  ASSERT_TRUE(SaveSettings(saved, file_, {}).ok);
  EXPECT_TRUE(fs::is_regular_file(dotfiles / "ZEPA2.conf"));
  EXPECT_TRUE(fs::is_symlink(file_));
}

// A folder its owner made read-only is a failed save with the reason, never quietly opened up.
TEST_F(SettingsFileTest, ReadOnlyFolderIsAFailedSave) {
  ASSERT_TRUE(SaveSettings(AppSettings{}, file_, {}).ok);
  const std::string before = ReadFile(file_);
  fs::permissions(file_.parent_path(), fs::perms(0500));
  SaveResult result;
  {
    // The tests may run as root, whom permission bits do not stop.
    test::ScopedPermissionBits asAUser;
    if (!asAUser.ok()) GTEST_SKIP() << "cannot drop the capabilities that override permission bits";
    result = SaveSettings(EveryFieldSet(), file_, {});
  }
  fs::permissions(file_.parent_path(), fs::perms(0700));
  EXPECT_FALSE(result.ok);
  EXPECT_THAT(result.error, HasSubstr(file_.string()));
  EXPECT_THAT(result.error, HasSubstr("フォルダに書き込めません"));
  EXPECT_THAT(result.error, HasSubstr("Permission denied"));
  EXPECT_EQ(ReadFile(file_), before);
}

TEST_F(SettingsFileTest, ValueTooLongToReadBackIsRefusedAndOldFileKept) {
  ASSERT_TRUE(SaveSettings(EveryFieldSet(), file_, {}).ok);
  const std::string before = ReadFile(file_);
  AppSettings tooLong = EveryFieldSet();
  for (int i = 0; i < 30000; ++i) tooLong.filter1 += "\x88\x9F";  // 亜: two bytes here, three as UTF-8
  const SaveResult result = SaveSettings(tooLong, file_, {});
  EXPECT_FALSE(result.ok);
  EXPECT_THAT(result.error, HasSubstr(file_.string()));
  EXPECT_THAT(result.error, HasSubstr("FILTER1"));
  EXPECT_EQ(ReadFile(file_), before);
}

TEST(SettingsFilePath, FollowsXdgConfigHome) {
  test::ScopedEnv home("HOME", "/home/someone");
  {
    test::ScopedEnv xdg("XDG_CONFIG_HOME", "/tmp/cfg");
    EXPECT_EQ(SettingsFilePath(), fs::path("/tmp/cfg/ZEPA/ZEPA2.conf"));
  }
  for (const char* ignored : {"", "relative/cfg"}) {
    test::ScopedEnv xdg("XDG_CONFIG_HOME", ignored);
    EXPECT_EQ(SettingsFilePath(), fs::path("/home/someone/.config/ZEPA/ZEPA2.conf")) << ignored;
  }
}

}  // namespace
}  // namespace zepa2
