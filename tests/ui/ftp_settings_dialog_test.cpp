// Drives the FTP settings dialog: site switching and the count, saving and cancelling, the home
// page address from a template, the upload test against the test FTP server, and the two browsers.
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <filesystem>

#include "core/outcome/run_status_file.h"
#include "core/settings/secret_reference.h"
#include "core/settings/settings_store.h"
#include "support/fixture_process.h"
#include "support/free_port.h"
#include "support/publish_support.h"
#include "support/qt_modal.h"
#include "support/qt_widgets.h"
#include "ui/common/cp932_text.h"
#include "ui/common/message_box.h"
#include "ui/settings/ftp_browse_dialog.h"
#include "ui/settings/ftp_settings_dialog.h"

namespace zepa2::ui {
namespace {

using test::FtpTestServer;

const char* const kRadios[] = {"site1Radio", "site2Radio", "site3Radio", "site4Radio", "site5Radio"};
const char* const kSiteEdits[] = {"serverEdit", "userEdit", "passwordEdit", "uploadFileEdit",
                                  "localFileEdit"};

using test::Child;
using test::Edit;
using test::ShownTexts;
using test::TabOrder;
using test::TabOrderOf;

void Click(QWidget& dialog, const char* name) { Child<QAbstractButton>(dialog, name)->click(); }

QString EnabledRadios(QWidget& dialog) {
  QString enabled;
  for (int i = 0; i < 5; ++i) enabled += Child(dialog, kRadios[i])->isEnabled() ? QChar(u'1' + i) : QChar(u'-');
  return enabled;
}

int CheckedRadio(QWidget& dialog) {
  for (int i = 0; i < 5; ++i) {
    if (Child<QRadioButton>(dialog, kRadios[i])->isChecked()) return i;
  }
  return -1;
}

FtpSite Site(const std::string& tag) {
  return {tag + ".example.net", tag + "user", tag + "pass", tag + "/index.html", "/tmp/" + tag + ".html"};
}

// The site edits typed over with values made from tag.
void TypeSite(QWidget& dialog, const std::string& tag) {
  const FtpSite site = Site(tag);
  const std::string* values[] = {&site.server, &site.user, &site.pass, &site.uploadFile, &site.localFile};
  for (int i = 0; i < 5; ++i) Edit(dialog, kSiteEdits[i])->setText(QString::fromStdString(*values[i]));
}

FtpSite ShownSite(QWidget& dialog) {
  std::string values[5];
  for (int i = 0; i < 5; ++i) values[i] = ToCp932(Edit(dialog, kSiteEdits[i])->text());
  return {values[0], values[1], values[2], values[3], values[4]};
}

// For the browser, which is on the screen before its listing has arrived.
bool ListsTopHtml(QDialog* browser) {
  auto* list = browser->findChild<QListWidget*>(QStringLiteral("entryList"));
  return list && list->isEnabled() &&
         !list->findItems(QStringLiteral("top.html"), Qt::MatchExactly).isEmpty();
}

void PickTopHtml(QDialog* browser) {
  auto* list = browser->findChild<QListWidget*>(QStringLiteral("entryList"));
  list->setCurrentItem(list->findItems(QStringLiteral("top.html"), Qt::MatchExactly).value(0));
  browser->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
}

AppSettings StoredSettings() {
  AppSettings stored;
  LoadSettings(stored, SettingsFilePath(), [] {});
  return stored;
}

}  // namespace

class FtpSettingsDialogTest : public QObject {
  Q_OBJECT

 private:
  std::optional<test::TempDir> config_;
  std::optional<test::ScopedEnv> xdg_;

 private slots:
  void init() {
    MessageBoxSeam::Intercept(true);
    config_.emplace();
    xdg_.emplace("XDG_CONFIG_HOME", config_->path().string());
  }
  void cleanup() {
    MessageBoxSeam::Intercept(false);
    xdg_.reset();
    config_.reset();
  }

  // Each site keeps its own check address; "今すぐ確認" looks for the last run's address there.
  void CheckUrlFollowsTheSiteAndIsCheckedNow() {
    test::TempDir state;
    test::ScopedEnv stateHome("XDG_STATE_HOME", state.path().string());
    test::TempDir web;
    test::WriteFile(web / "ip.html", "<p>192.0.2.50</p>\n");
    test::FixtureProcess server("page_server.py", {web.path().string()});
    // Without its http://, as the page address above it is typed.
    const QString url = QString::fromStdString(server.hostPort() + "/ip.html");

    AppSettings settings;
    settings.siteCount = 2;
    FtpSettingsDialog dialog(settings);
    Edit(dialog, "checkUrlEdit")->setText(url);
    Click(dialog, kRadios[1]);
    QCOMPARE(Edit(dialog, "checkUrlEdit")->text(), QString());
    Edit(dialog, "checkUrlEdit")->setText(QStringLiteral("https://example.invalid/two.html"));

    Click(dialog, "checkUrlButton");  // no run yet: nothing to look for
    auto shown = MessageBoxSeam::TakeShown();
    QCOMPARE(shown.size(), std::size_t{1});
    QCOMPARE(shown[0].text, QStringLiteral("先にグローバルＩＰを取得してください。"));

    CheckReport lastRun;
    lastRun.outcome = CheckOutcome::Published;
    lastRun.address = "192.0.2.50";
    QVERIFY(WriteRunStatus(RunStatusFilePath(), lastRun, AppSettings{}).ok());
    Click(dialog, kRadios[0]);
    QCOMPARE(Edit(dialog, "checkUrlEdit")->text(), url);
    Click(dialog, "checkUrlButton");
    shown = MessageBoxSeam::TakeShown();
    QCOMPARE(shown.size(), std::size_t{1});
    QCOMPARE(shown[0].text, QStringLiteral("サイト：1 公開ページでアドレスを確認しました"));
    QVERIFY(shown[0].icon == MessageIcon::Information);

    test::WriteFile(web / "ip.html", "<p>192.0.2.5</p>\n");  // yesterday's page
    Click(dialog, "checkUrlButton");
    shown = MessageBoxSeam::TakeShown();
    QCOMPARE(shown.size(), std::size_t{1});
    QCOMPARE(shown[0].text, QStringLiteral("サイト：1 公開ページでアドレスを確認できません：ページにアドレスがありません"));
    QVERIFY(shown[0].icon == MessageIcon::Exclamation);

    // The network library's English reason belongs to the log; the box says it in Japanese only.
    const QString dead = QStringLiteral("127.0.0.1:%1/ip.html").arg(test::UnusedLocalPort());
    Edit(dialog, "checkUrlEdit")->setText(dead);
    Click(dialog, "checkUrlButton");
    shown = MessageBoxSeam::TakeShown();
    QCOMPARE(shown.size(), std::size_t{1});
    QCOMPARE(shown[0].text, QStringLiteral("サイト：1 公開ページでアドレスを確認できません：ページを取得できません"));
    Edit(dialog, "checkUrlEdit")->setText(url);

    Click(dialog, "okButton");
    QCOMPARE(QString::fromStdString(settings.sites[0].checkUrl), url);
    QCOMPARE(StoredSettings().sites[1].checkUrl, std::string("https://example.invalid/two.html"));
  }

  // The site's own rows sit in its group under the local file and Tab meets them there; the
  // dialog's buttons come last.
  void SiteRowsSitInTheSiteGroupAndInTabOrder() {
    AppSettings settings;
    FtpSettingsDialog dialog(settings);
    const QRect group = Child<QGroupBox>(dialog, "ftpServerGroup")->geometry();
    for (const char* name : {"saveToKeyringButton", "transferModeCombo", "pinEdit", "forgetPinButton", "checkUrlEdit",
                             "checkUrlButton", "regionEdit"})
      QVERIFY2(group.contains(Child(dialog, name)->geometry()), name);
    QVERIFY(Child(dialog, "okButton")->geometry().top() > group.bottom());
    const QStringList expected{"serverEdit",     "userEdit",          "passwordEdit",   "uploadFileEdit",
                               "uploadBrowseButton", "localFileEdit", "localBrowseButton", "transferModeCombo",
                               "forgetPinButton", "checkUrlEdit",     "checkUrlButton", "homePageEdit",
                               "homePageFromFileButton", "uploadTestButton", "okButton", "cancelButton"};
    QCOMPARE(TabOrderOf(dialog, expected), expected);
    QCOMPARE(TabOrder(dialog).last(), QStringLiteral("cancelButton"));
  }

  void StoredCountSelectsItemAndEnablesRadios() {
    struct Case { int stored; QString shown; QString enabled; int saved; };
    const Case cases[] = {
        {1, "1", "1----", 1}, {2, "2", "12---", 2}, {3, "3", "123--", 3}, {4, "4", "1234-", 4},
        {5, "5", "12345", 5}, {0, "1", "1----", 1}, {7, "1", "1----", 1}, {-3, "1", "1----", 1},
    };
    for (const Case& c : cases) {
      AppSettings settings;
      settings.siteCount = c.stored;
      FtpSettingsDialog dialog(settings);
      auto* combo = Child<QComboBox>(dialog, "siteCountCombo");
      QCOMPARE(combo->count(), 5);
      QCOMPARE(combo->currentText(), c.shown);
      QCOMPARE(EnabledRadios(dialog), c.enabled);
      QCOMPARE(CheckedRadio(dialog), 0);
      Click(dialog, "okButton");
      QCOMPARE(settings.siteCount, c.saved);
      QCOMPARE(StoredSettings().siteCount, c.saved);
    }
  }

  void LoweringTheCountBelowTheShownSiteKeepsItsEdits() {
    AppSettings settings;
    settings.siteCount = 5;
    settings.sites[0] = Site("one");
    FtpSettingsDialog dialog(settings);
    Click(dialog, "site4Radio");
    TypeSite(dialog, "four");

    Child<QComboBox>(dialog, "siteCountCombo")->setCurrentIndex(1);  // "2"
    QCOMPARE(EnabledRadios(dialog), QStringLiteral("12---"));
    QCOMPARE(CheckedRadio(dialog), 0);
    QCOMPARE(ShownSite(dialog), Site("one"));

    Child<QComboBox>(dialog, "siteCountCombo")->setCurrentIndex(3);  // "4"
    QCOMPARE(EnabledRadios(dialog), QStringLiteral("1234-"));
    Click(dialog, "site4Radio");
    QCOMPARE(ShownSite(dialog), Site("four"));

    Child<QComboBox>(dialog, "siteCountCombo")->setCurrentIndex(2);  // "3": site 4 is stored again
    Click(dialog, "okButton");
    QCOMPARE(settings.siteCount, 3);
    QCOMPARE(settings.sites[3], Site("four"));  // above the count, still kept and saved
    QCOMPARE(StoredSettings().sites[3], Site("four"));
  }

  void EditsOfEverySiteAreSavedTogetherOrDroppedTogether() {
    for (const bool confirm : {true, false}) {
      std::filesystem::remove(SettingsFilePath());
      AppSettings settings;
      settings.siteCount = 3;
      settings.sites[2] = Site("three");
      // Bytes that do not survive a trip through QString stay as they are when left alone.
      settings.sites[4].server = "half\x83";
      const AppSettings before = settings;
      FtpSettingsDialog dialog(settings);
      TypeSite(dialog, "one");
      Click(dialog, "site2Radio");
      TypeSite(dialog, "two");
      Click(dialog, "site3Radio");
      QCOMPARE(ShownSite(dialog), Site("three"));
      Edit(dialog, "serverEdit")->setText(QStringLiteral("ｆｔｐ.example.net"));
      Click(dialog, "site1Radio");
      QCOMPARE(ShownSite(dialog), Site("one"));
      Edit(dialog, "homePageEdit")->setText(QStringLiteral("$$IP_ADDRESS$$/top.html"));

      if (confirm) {
        Click(dialog, "okButton");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(ShownTexts().isEmpty());
        AppSettings expected = before;
        expected.sites[0] = Site("one");
        expected.sites[1] = Site("two");
        expected.sites[2].server = ToCp932(QStringLiteral("ｆｔｐ.example.net"));
        expected.homePageAddress = "$$IP_ADDRESS$$/top.html";
        QVERIFY(settings == expected);
        QVERIFY(StoredSettings() == expected);
      } else {
        QSignalSpy rejected(&dialog, &QDialog::rejected);
        MessageBoxSeam::QueueAnswer(MessageAnswer::No);
        Click(dialog, "cancelButton");
        QCOMPARE(rejected.count(), 0);
        QCOMPARE(ShownSite(dialog), Site("one"));  // No keeps every edit
        MessageBoxSeam::QueueAnswer(MessageAnswer::Yes);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(rejected.count(), 1);
        const auto shown = MessageBoxSeam::TakeShown();
        QCOMPARE(shown.size(), std::size_t{2});
        QCOMPARE(shown[0].text, QStringLiteral("設定を中止します。\n変更データは反映されません。よろしいですか？"));
        QVERIFY(shown[0].buttons == MessageButtons::YesNo);
        QVERIFY(shown[0].icon == MessageIcon::Question);
        QVERIFY(settings == before);
        QVERIFY(!std::filesystem::exists(SettingsFilePath()));
      }
    }
  }

  // Each control shows one field of the shown site and stores it back into that field alone: every
  // site walked through and confirmed untouched saves what was there, byte for byte, including a
  // field that ends inside a two-byte character and a mode this version does not know.
  void UntouchedSitesSaveByteForByte() {
    AppSettings settings;
    settings.siteCount = 5;
    settings.homePageAddress = "http://$$IP_ADDRESS$$/\x83";
    for (int i = 0; i < kSiteSlots; ++i) {
      const std::string n = std::to_string(i + 1);
      FtpSite& site = settings.sites[static_cast<std::size_t>(i)];
      site = {"server" + n + "\x83", "user" + n, "pass" + n, "/up" + n + ".html", "/tmp/local" + n + ".html",
              static_cast<net::TransferMode>(i), std::nullopt, "sha256//pin" + n, "http://check" + n + "/",
              "region-" + n};
    }
    settings.sites[4].unknownMode = "42";
    const AppSettings before = settings;
    FtpSettingsDialog dialog(settings);
    for (const char* radio : {"site2Radio", "site5Radio", "site3Radio", "site4Radio", "site1Radio", "site5Radio"}) {
      Click(dialog, radio);
    }
    QVERIFY(Child<QComboBox>(dialog, "transferModeCombo")->currentIndex() < 0);  // the unknown mode
    Click(dialog, "okButton");
    QVERIFY(ShownTexts().isEmpty());
    for (int i = 0; i < kSiteSlots; ++i) QCOMPARE(settings.sites[static_cast<std::size_t>(i)], before.sites[static_cast<std::size_t>(i)]);
    QVERIFY(settings == before);
  }

  // A line break pasted into a field that reaches the server is refused on OK, naming the site and
  // the field; the dialog stays open with the text as typed and nothing is saved.
  void PastedLineBreakIsRefusedOnOk() {
    const struct {
      const char* edit;
      const char* field;
    } cases[] = {{"serverEdit", "ＦＴＰサーバ名"},
                 {"userEdit", "ユーザ名"},
                 {"passwordEdit", "パスワード"},
                 {"uploadFileEdit", "アップロードファイル"}};
    for (const auto& c : cases) {
      std::filesystem::remove(SettingsFilePath());
      AppSettings settings;
      settings.siteCount = 2;
      const AppSettings before = settings;
      FtpSettingsDialog dialog(settings);
      dialog.show();
      Click(dialog, "site2Radio");
      TypeSite(dialog, "two");
      QLineEdit* edit = Edit(dialog, c.edit);
      edit->selectAll();
      edit->insert(QStringLiteral("zepa\r\nDELE victim.html"));
      QVERIFY(edit->text().contains(u'\n'));  // the edit keeps a pasted line break
      Click(dialog, "okButton");
      const auto shown = MessageBoxSeam::TakeShown();
      QCOMPARE(shown.size(), std::size_t{1});
      QCOMPARE(shown[0].text, QStringLiteral("「サイト２の") + QString::fromUtf8(c.field) +
                                  QStringLiteral("」に改行文字または NUL 文字が含まれています。\n取り除いてから設定してください。"));
      QVERIFY(shown[0].icon == MessageIcon::Exclamation);
      QVERIFY(dialog.isVisible());
      QCOMPARE(dialog.result(), int(QDialog::Rejected));
      QVERIFY(settings == before);
      QVERIFY(!std::filesystem::exists(SettingsFilePath()));
    }
  }

  void AFailedSaveKeepsTheDialogAndTheSettings() {
    const auto notAFolder = config_->path() / "not-a-folder";
    test::WriteFile(notAFolder, "x");
    test::ScopedEnv xdg("XDG_CONFIG_HOME", notAFolder.string());
    AppSettings settings;
    const AppSettings before = settings;
    FtpSettingsDialog dialog(settings);
    dialog.show();
    TypeSite(dialog, "one");
    Click(dialog, "okButton");
    const auto shown = MessageBoxSeam::TakeShown();
    QCOMPARE(shown.size(), std::size_t{1});
    QVERIFY(shown[0].text.startsWith(QStringLiteral("設定を保存できませんでした。")));
    QVERIFY(dialog.isVisible());
    QVERIFY(settings == before);
    QCOMPARE(ShownSite(dialog), Site("one"));
  }

  void HomePageComesFromTheTemplate() {
    test::TempDir dir;
    test::WriteFile(dir / "good.html", "<a href=\"http://$$IP_ADDRESS$$/index.html\">\n");
    AppSettings settings;
    FtpSettingsDialog dialog(settings);
    Edit(dialog, "homePageEdit")->setText(QStringLiteral("old"));
    Edit(dialog, "localFileEdit")->setText(QString::fromStdString((dir / "good.html").string()));
    Click(dialog, "homePageFromFileButton");
    QCOMPARE(Edit(dialog, "homePageEdit")->text(), QStringLiteral("$$IP_ADDRESS$$/index.html"));
    QVERIFY(ShownTexts().isEmpty());

    Edit(dialog, "localFileEdit")->setText(QString::fromStdString((dir / "none.html").string()));
    Click(dialog, "homePageFromFileButton");
    QCOMPARE(Edit(dialog, "homePageEdit")->text(), QStringLiteral("$$IP_ADDRESS$$/"));
    const auto shown = MessageBoxSeam::TakeShown();
    QCOMPARE(shown.size(), std::size_t{1});
    QCOMPARE(shown[0].text, QStringLiteral("ローカルファイルがオープンできません。"));
    QVERIFY(shown[0].icon == MessageIcon::None);
    QVERIFY(settings == AppSettings{});
  }

  void UploadTestUsesTheShownValuesAndTellsTheOutcome() {
    FtpTestServer ftp;
    test::TempDir dir;
    const std::string page = (dir / "index.html").string();
    test::WriteFile(page, "<p>$$IP_ADDRESS$$</p>\n");
    struct Case {
      const char* name;
      std::string server, password, remote, local;
      QString text;
      MessageIcon icon;
    };
    const Case cases[] = {
        {"stored", ftp.server(), "secret", "up.html", page, "成功しました。", MessageIcon::Information},
        {"read-only folder", ftp.server(), "secret", "ro/up.html", page, "ファイルの転送エラー",
         MessageIcon::Exclamation},
        {"missing local file", ftp.server(), "secret", "up.html", (dir / "none.html").string(),
         "ファイルの転送エラー", MessageIcon::Exclamation},
        {"wrong password", ftp.server(), "wrong", "up.html", page, "接続できませんでした。",
         MessageIcon::Exclamation},
        {"unknown server", "no-such-host.invalid", "secret", "up.html", page, "接続できませんでした。",
         MessageIcon::Exclamation},
        // The log-in comes first: a server's fault is never blamed on the missing file.
        {"missing file, wrong password", ftp.server(), "wrong", "up.html",
         (dir / "none.html").string(), "接続できませんでした。", MessageIcon::Exclamation},
        {"missing file, dead host", "127.0.0.1:1", "secret", "up.html", (dir / "none.html").string(),
         "接続できませんでした。", MessageIcon::Exclamation},
    };
    AppSettings settings;
    FtpSettingsDialog dialog(settings);
    std::vector<std::chrono::milliseconds> pauses;
    dialog.SetPause([&](std::chrono::milliseconds ms) { pauses.push_back(ms); });
    for (const Case& c : cases) {
      Edit(dialog, "serverEdit")->setText(QString::fromStdString(c.server));
      Edit(dialog, "userEdit")->setText(QStringLiteral("zepa"));
      Edit(dialog, "passwordEdit")->setText(QString::fromStdString(c.password));
      Edit(dialog, "uploadFileEdit")->setText(QString::fromStdString(c.remote));
      Edit(dialog, "localFileEdit")->setText(QString::fromStdString(c.local));
      MessageBoxSeam::QueueAnswer(MessageAnswer::Ok);
      Click(dialog, "uploadTestButton");
      const auto shown = MessageBoxSeam::TakeShown();
      QVERIFY2(shown.size() == 2, c.name);
      QCOMPARE(shown[0].text, QStringLiteral("選択中のサイトにテストファイルをアップロードします。\n"
                                             "テスト後マニュアル実行で書き換える必要があります。"));
      QVERIFY(shown[0].buttons == MessageButtons::OkCancel);
      QVERIFY(shown[0].icon == MessageIcon::Information);
      QCOMPARE(shown[1].text, c.text);
      QVERIFY2(shown[1].icon == c.icon, c.name);
    }
    QCOMPARE(test::ReadFile(ftp.home() / "up.html"), std::string("<p>$$IP_ADDRESS$$</p>\n"));
    QCOMPARE(pauses.size(), std::size_t{1});

    std::filesystem::remove(ftp.home() / "up.html");
    Edit(dialog, "serverEdit")->setText(QString::fromStdString(ftp.server()));
    Edit(dialog, "passwordEdit")->setText(QStringLiteral("secret"));
    Edit(dialog, "localFileEdit")->setText(QString::fromStdString(page));
    MessageBoxSeam::QueueAnswer(MessageAnswer::Cancel);
    Click(dialog, "uploadTestButton");
    QCOMPARE(MessageBoxSeam::TakeShown().size(), std::size_t{1});
    QVERIFY(!std::filesystem::exists(ftp.home() / "up.html"));
    QVERIFY(settings == AppSettings{});
    QVERIFY(!std::filesystem::exists(SettingsFilePath()));
  }

  // SFTP with no pin: the upload test shows the host key; Cancel is a failed connection, OK pins
  // it and the test goes on. The mode and the pin are stored with OK; the forget button empties it.
  void TransferModeAndPinningAKeyOnFirstUse() {
    test::SftpTestServer sftp;
    test::TempDir dir;
    const std::string page = (dir / "index.html").string();
    test::WriteFile(page, "<p>x</p>\r\n");
    AppSettings settings;
    FtpSettingsDialog dialog(settings);
    dialog.SetPause([](std::chrono::milliseconds) {});
    auto* mode = Child<QComboBox>(dialog, "transferModeCombo");
    QCOMPARE(mode->count(), static_cast<int>(net::TransferModes().size()));
    QCOMPARE(mode->itemText(0), QStringLiteral("FTP（アクティブ）"));
    QCOMPARE(mode->itemText(3), QStringLiteral("SFTP"));
    QCOMPARE(mode->itemText(4), QStringLiteral("WebDAV"));
    QCOMPARE(mode->itemText(5), QStringLiteral("S3"));
    QCOMPARE(mode->currentIndex(), 0);
    mode->setCurrentIndex(3);
    Edit(dialog, "serverEdit")->setText(QString::fromStdString(sftp.server()));
    Edit(dialog, "userEdit")->setText(QStringLiteral("zepa"));
    Edit(dialog, "passwordEdit")->setText(QStringLiteral("secret"));
    Edit(dialog, "uploadFileEdit")->setText(QStringLiteral("up.html"));
    Edit(dialog, "localFileEdit")->setText(QString::fromStdString(page));
    const QString pin = QString::fromStdString(sftp.pin());

    MessageBoxSeam::QueueAnswer(MessageAnswer::Ok);
    MessageBoxSeam::QueueAnswer(MessageAnswer::Cancel);
    Click(dialog, "uploadTestButton");
    QStringList texts = ShownTexts();
    QCOMPARE(texts.size(), 3);
    QVERIFY(texts[1].contains(pin));
    QCOMPARE(texts[2], QStringLiteral("接続できませんでした。"));
    QVERIFY(Edit(dialog, "pinEdit")->text().isEmpty());
    QVERIFY(!std::filesystem::exists(sftp.home() / "up.html"));

    MessageBoxSeam::QueueAnswer(MessageAnswer::Ok);
    MessageBoxSeam::QueueAnswer(MessageAnswer::Ok);
    Click(dialog, "uploadTestButton");
    texts = ShownTexts();
    QCOMPARE(texts.size(), 3);
    QCOMPARE(texts[2], QStringLiteral("成功しました。"));
    QCOMPARE(Edit(dialog, "pinEdit")->text(), pin);
    QCOMPARE(test::ReadFile(sftp.home() / "up.html"), std::string("<p>x</p>\r\n"));  // as built

    Click(dialog, "okButton");
    QCOMPARE(settings.sites[0].mode, net::TransferMode::Sftp);
    QCOMPARE(QString::fromStdString(settings.sites[0].pin), pin);
    QCOMPARE(QString::fromStdString(StoredSettings().sites[0].pin), pin);

    FtpSettingsDialog again(settings);
    QCOMPARE(Edit(again, "pinEdit")->text(), pin);
    MessageBoxSeam::QueueAnswer(MessageAnswer::Yes);
    Click(again, "forgetPinButton");
    QVERIFY(Edit(again, "pinEdit")->text().isEmpty());
    QVERIFY(!again.findChild<QPushButton*>("forgetPinButton")->isEnabled());
  }

  // WebDAV over HTTPS: the upload test meets a certificate nobody vouches for and offers to trust
  // it, as for FTPS; the region field is not there for WebDAV.
  void WebDavUploadTestTrustsAKeyOnFirstUse() {
    test::WebDavTestServer dav({.tls = true});
    test::TempDir dir;
    const std::string page = (dir / "index.html").string();
    test::WriteFile(page, "<p>x</p>\r\n");
    AppSettings settings;
    FtpSettingsDialog dialog(settings);
    dialog.SetPause([](std::chrono::milliseconds) {});
    auto* mode = Child<QComboBox>(dialog, "transferModeCombo");
    mode->setCurrentIndex(4);
    emit mode->activated(4);
    QVERIFY(Edit(dialog, "regionEdit")->isHidden());
    Edit(dialog, "serverEdit")->setText(QString::fromStdString(dav.server()));
    Edit(dialog, "userEdit")->setText(QStringLiteral("zepa"));
    Edit(dialog, "passwordEdit")->setText(QStringLiteral("secret"));
    Edit(dialog, "uploadFileEdit")->setText(QStringLiteral("/up.html"));
    Edit(dialog, "localFileEdit")->setText(QString::fromStdString(page));
    const QString pin = QString::fromStdString(dav.pin());

    MessageBoxSeam::QueueAnswer(MessageAnswer::Ok);
    MessageBoxSeam::QueueAnswer(MessageAnswer::Ok);
    Click(dialog, "uploadTestButton");
    const QStringList texts = ShownTexts();
    QCOMPARE(texts.size(), 3);
    QVERIFY(texts[1].contains(pin));
    QCOMPARE(texts[2], QStringLiteral("成功しました。"));
    QCOMPARE(Edit(dialog, "pinEdit")->text(), pin);
    QCOMPARE(test::ReadFile(dav.www() / "up.html"), std::string("<p>x</p>\r\n"));
    Click(dialog, "okButton");
    QCOMPARE(settings.sites[0].mode, net::TransferMode::WebDav);
    QCOMPARE(QString::fromStdString(settings.sites[0].pin), pin);
  }

  // S3: the region field shows for S3 alone and is saved with the site; the upload test is
  // signed for it, and the browser starts in the page's bucket and picks a key there.
  void S3ShowsTheRegionAndUploadsAndBrowsesWithIt() {
    test::S3TestServer s3({.region = "auto"});
    test::WriteFile(s3.bucket("www") / "top.html", "x");
    test::TempDir dir;
    const std::string page = (dir / "index.html").string();
    test::WriteFile(page, "<p>x</p>\r\n");
    AppSettings settings;
    FtpSettingsDialog dialog(settings);
    dialog.SetPause([](std::chrono::milliseconds) {});
    auto* mode = Child<QComboBox>(dialog, "transferModeCombo");
    QVERIFY(Edit(dialog, "regionEdit")->isHidden());
    mode->setCurrentIndex(5);
    emit mode->activated(5);
    QVERIFY(!Edit(dialog, "regionEdit")->isHidden());
    QVERIFY(!Child(dialog, "regionLabel")->isHidden());
    QCOMPARE(Child(dialog, "regionLabel")->property("text").toString(), QStringLiteral("リージョン"));
    Edit(dialog, "regionEdit")->setText(QStringLiteral("auto"));
    Edit(dialog, "serverEdit")->setText(QString::fromStdString(s3.server()));
    Edit(dialog, "userEdit")->setText(QString::fromUtf8(test::S3TestServer::kAccessKey));
    Edit(dialog, "passwordEdit")->setText(QString::fromUtf8(test::S3TestServer::kSecret));
    Edit(dialog, "uploadFileEdit")->setText(QStringLiteral("/www/up.html"));
    Edit(dialog, "localFileEdit")->setText(QString::fromStdString(page));

    MessageBoxSeam::QueueAnswer(MessageAnswer::Ok);
    MessageBoxSeam::QueueAnswer(MessageAnswer::Ok);
    Click(dialog, "uploadTestButton");
    QCOMPARE(ShownTexts().value(1), QStringLiteral("成功しました。"));
    QCOMPARE(test::ReadFile(s3.bucket("www") / "up.html"), std::string("<p>x</p>\r\n"));

    test::OnNextModalDialog(PickTopHtml, ListsTopHtml);
    Click(dialog, "uploadBrowseButton");
    QCOMPARE(Edit(dialog, "uploadFileEdit")->text(), QStringLiteral("/www/top.html"));

    mode->setCurrentIndex(4);
    emit mode->activated(4);
    QVERIFY(Edit(dialog, "regionEdit")->isHidden());
    mode->setCurrentIndex(5);
    emit mode->activated(5);
    QCOMPARE(Edit(dialog, "regionEdit")->text(), QStringLiteral("auto"));
    Click(dialog, "okButton");
    QCOMPARE(settings.sites[0].mode, net::TransferMode::S3);
    QCOMPARE(settings.sites[0].region, std::string("auto"));
    QCOMPARE(StoredSettings().sites[0].region, std::string("auto"));
  }

  // The site browser meets an SFTP host key it cannot verify. Cancel ends its log-in as a failed
  // connection before the password goes, nothing pinned; OK pins the key into the site's field and
  // browsing goes on, and the pin is stored only with the dialog's OK. The answers are queued
  // before the browser opens: nothing may wait inside the browser's own busy loop.
  void SiteBrowserPinsAKeyOnFirstUse() {
    test::SftpTestServer sftp;
    test::WriteFile(sftp.home() / "top.html", "x");
    AppSettings settings;
    FtpSettingsDialog dialog(settings);
    Child<QComboBox>(dialog, "transferModeCombo")->setCurrentIndex(3);
    Edit(dialog, "serverEdit")->setText(QString::fromStdString(sftp.server()));
    Edit(dialog, "userEdit")->setText(QStringLiteral("zepa"));
    Edit(dialog, "passwordEdit")->setText(QStringLiteral("secret"));
    const QString pin = QString::fromStdString(sftp.pin());
    const QString notConnected = QStringLiteral("サイトに接続できません。");

    QStringList shown;
    MessageBoxSeam::QueueAnswer(MessageAnswer::Cancel);
    test::OnNextModalDialog([](QDialog* browser) { browser->reject(); },
                            [&](QDialog*) {
                              shown += ShownTexts();
                              return shown.contains(notConnected);
                            });
    Click(dialog, "uploadBrowseButton");
    QCOMPARE(shown.size(), 2);
    QVERIFY(shown[0].contains(pin));
    QCOMPARE(shown[1], notConnected);
    QVERIFY(Edit(dialog, "pinEdit")->text().isEmpty());
    QVERIFY(sftp.commands().empty());  // no log-in attempt: the password never went

    MessageBoxSeam::QueueAnswer(MessageAnswer::Ok);
    test::OnNextModalDialog(PickTopHtml, ListsTopHtml);
    Click(dialog, "uploadBrowseButton");
    const auto asked = MessageBoxSeam::TakeShown();
    QCOMPARE(asked.size(), std::size_t{1});
    QVERIFY(asked[0].buttons == MessageButtons::OkCancel);
    QVERIFY(asked[0].text.contains(pin));
    QCOMPARE(Edit(dialog, "pinEdit")->text(), pin);
    QVERIFY(Edit(dialog, "uploadFileEdit")->text().endsWith(QStringLiteral("/top.html")));
    QVERIFY(settings == AppSettings{});
    QVERIFY(!std::filesystem::exists(SettingsFilePath()));

    Click(dialog, "okButton");
    QCOMPARE(settings.sites[0].mode, net::TransferMode::Sftp);
    QCOMPARE(QString::fromStdString(settings.sites[0].pin), pin);
    QCOMPARE(QString::fromStdString(StoredSettings().sites[0].pin), pin);
  }

  // A TLS pin cannot match an SSH host key nor the other way round: choosing a mode that pins
  // another kind of key empties the pin, choosing one of the same kind keeps it. Showing another
  // site is no choice of mode and leaves every pin alone.
  void ChoosingAModeOfAnotherKeyKindForgetsThePin() {
    struct Case {
      int from, to;
      bool kept;
    };
    const Case cases[] = {
        {2, 3, false}, {3, 2, false}, {2, 1, false}, {3, 0, false},
        {0, 2, false},  // a hand-edited pin under plain FTP says nothing of which key it was
        {2, 2, true},  {3, 3, true},  {0, 1, true},
    };
    const std::string pin = "sha256//47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU=";
    for (const Case& c : cases) {
      const QString name = QStringLiteral("%1 -> %2").arg(c.from).arg(c.to);
      AppSettings settings;
      settings.siteCount = 2;
      settings.sites[0].mode = settings.sites[1].mode = static_cast<net::TransferMode>(c.from);
      settings.sites[0].pin = settings.sites[1].pin = pin;
      FtpSettingsDialog dialog(settings);
      auto* mode = Child<QComboBox>(dialog, "transferModeCombo");
      mode->setCurrentIndex(c.to);
      emit mode->activated(c.to);  // as a pick from the list does
      QVERIFY2(Edit(dialog, "pinEdit")->text().isEmpty() != c.kept, qPrintable(name));
      Click(dialog, "site2Radio");
      QCOMPARE(Edit(dialog, "pinEdit")->text(), QString::fromStdString(pin));
      Click(dialog, "okButton");
      QCOMPARE(settings.sites[0].mode, static_cast<net::TransferMode>(c.to));
      QVERIFY2(settings.sites[0].pin.empty() != c.kept, qPrintable(name));
      QCOMPARE(settings.sites[1].pin, pin);
    }
  }

  // The upload test runs on a worker: the dialog's events go on with its controls off and says it
  // is connecting, and Esc ends a log-in to a server that never greets as a stopped step.
  void EscEndsAnUploadTestThatHangs() {
    test::FixtureProcess mute("router_server.py");  // takes the connection, says nothing
    AppSettings settings;
    FtpSettingsDialog dialog(settings);
    dialog.show();
    Edit(dialog, "serverEdit")->setText(QString::fromStdString(mute.hostPort()));
    int ticks = 0, escTick = -1;
    bool disabled = false;
    QString busyText;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
      if (++ticks != 10) return;
      disabled = !Child(dialog, "uploadTestButton")->isEnabled() && !Edit(dialog, "serverEdit")->isEnabled();
      busyText = Child<QLabel>(dialog, "busyLabel")->text();
      escTick = ticks;
      QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    timer.start(50);
    MessageBoxSeam::QueueAnswer(MessageAnswer::Ok);
    Click(dialog, "uploadTestButton");
    QCOMPARE(escTick, 10);
    QVERIFY(disabled);
    QVERIFY2(ticks - escTick <= 20, qPrintable(QString::number(ticks - escTick)));
    const auto shown = MessageBoxSeam::TakeShown();
    QCOMPARE(shown.size(), std::size_t{2});  // the question and the outcome, no cancel question
    QCOMPARE(shown[1].text, QStringLiteral("中止しました。"));
    QCOMPARE(busyText, QStringLiteral("接続中…"));
    QVERIFY(Child<QLabel>(dialog, "busyLabel")->text().isEmpty());
    QVERIFY(dialog.isVisible());
  }

  void BrowsersFillTheirFieldsFromUnsavedValues() {
    FtpTestServer ftp;
    test::WriteFile(ftp.home() / "top.html", "x");
    test::TempDir dir;
    test::WriteFile(dir / "mine.html", "<a href=\"http://$$IP_ADDRESS$$:81/\">\n");
    AppSettings settings;
    FtpSettingsDialog dialog(settings);
    Edit(dialog, "serverEdit")->setText(QString::fromStdString(ftp.server()));
    Edit(dialog, "userEdit")->setText(QStringLiteral("zepa"));
    Edit(dialog, "passwordEdit")->setText(QStringLiteral("secret"));
    Edit(dialog, "localFileEdit")->setText(QStringLiteral("/unsaved/local.html"));

    test::OnNextModalDialog(PickTopHtml, ListsTopHtml);
    Click(dialog, "uploadBrowseButton");
    QCOMPARE(Edit(dialog, "uploadFileEdit")->text(), QStringLiteral("//top.html"));
    QCOMPARE(Edit(dialog, "localFileEdit")->text(), QStringLiteral("/unsaved/local.html"));
    QCOMPARE(Edit(dialog, "passwordEdit")->text(), QStringLiteral("secret"));

    test::OnNextModalDialog([](QDialog* browser) { browser->reject(); }, ListsTopHtml);
    Click(dialog, "uploadBrowseButton");
    QCOMPARE(Edit(dialog, "uploadFileEdit")->text(), QStringLiteral("//top.html"));

    const QString folder = QString::fromStdString(dir.path().string());
    test::OnNextModalDialog([folder](QDialog* picker) {
      qobject_cast<QFileDialog*>(picker)->setDirectory(folder);
      picker->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("mine"));
      picker->accept();
    });
    Click(dialog, "localBrowseButton");
    QCOMPARE(Edit(dialog, "localFileEdit")->text(), folder + "/mine.html");
    QCOMPARE(Edit(dialog, "homePageEdit")->text(), QStringLiteral("$$IP_ADDRESS$$:81/"));
    QVERIFY(ShownTexts().isEmpty());
    QVERIFY(settings == AppSettings{});
  }

  // A password kept outside the file is looked up for the upload test as for a run; one that
  // cannot be had is a box naming the reference, and nothing is sent.
  void UploadTestLooksThePasswordReferenceUp() {
    FtpTestServer ftp;
    test::TempDir dir;
    const std::string page = (dir / "index.html").string();
    test::WriteFile(page, "<p>$$IP_ADDRESS$$</p>\n");
    AppSettings settings;
    FtpSettingsDialog dialog(settings);
    dialog.SetPause([](std::chrono::milliseconds) {});
    Edit(dialog, "serverEdit")->setText(QString::fromStdString(ftp.server()));
    Edit(dialog, "userEdit")->setText(QStringLiteral("zepa"));
    Edit(dialog, "passwordEdit")->setText(QStringLiteral("env:ZEPA2_TEST_UPLOAD_PASS"));
    Edit(dialog, "uploadFileEdit")->setText(QStringLiteral("up.html"));
    Edit(dialog, "localFileEdit")->setText(QString::fromStdString(page));

    MessageBoxSeam::QueueAnswer(MessageAnswer::Ok);
    Click(dialog, "uploadTestButton");
    QStringList texts = ShownTexts();
    QCOMPARE(texts.size(), 2);
    QCOMPARE(texts[1], QStringLiteral("「FTP.Pass1」の参照「env:ZEPA2_TEST_UPLOAD_PASS」からパスワードを取り出せないため、"
                                      "送信しませんでした（環境変数がありません）。"));
    QVERIFY(ftp.commands().empty());

    test::ScopedEnv password("ZEPA2_TEST_UPLOAD_PASS", FtpTestServer::kPassword);
    MessageBoxSeam::QueueAnswer(MessageAnswer::Ok);
    Click(dialog, "uploadTestButton");
    texts = ShownTexts();
    QCOMPARE(texts.value(1), QStringLiteral("成功しました。"));
    QCOMPARE(Edit(dialog, "passwordEdit")->text(), QStringLiteral("env:ZEPA2_TEST_UPLOAD_PASS"));
  }

  // "キーリングに保存" beside the password: nothing typed is a box; inside a keyring session the
  // typed password goes to the keyring under the shown site's key and the field keeps only the
  // reference, which OK saves.
  void KeyringButtonLeavesOnlyTheReference() {
    AppSettings settings;
    settings.siteCount = 2;
    FtpSettingsDialog dialog(settings);
    QCOMPARE(Child(dialog, "saveToKeyringButton")->property("text").toString(), QStringLiteral("キーリングに保存"));
    Click(dialog, "saveToKeyringButton");
    QCOMPARE(ShownTexts(), QStringList{QStringLiteral("キーリングに保存するパスワードを入力してください。")});
    if (!qEnvironmentVariableIsSet("ZEPA2_KEYRING_SESSION")) QSKIP("the keyring is used only inside with_keyring.sh");

    Click(dialog, "site2Radio");
    Edit(dialog, "serverEdit")->setText(QStringLiteral("ftp.example.net"));
    Edit(dialog, "passwordEdit")->setText(QStringLiteral("パス-from-dialog"));
    Click(dialog, "saveToKeyringButton");
    QCOMPARE(ShownTexts().size(), 1);
    QCOMPARE(Edit(dialog, "passwordEdit")->text(), QStringLiteral("keyring:"));
    Click(dialog, "okButton");
    QCOMPARE(StoredSettings().sites[1].pass, std::string("keyring:"));
    QVERIFY(test::ReadFile(SettingsFilePath()).find("from-dialog") == std::string::npos);
    const ResolvedSecret back = ResolveSecret("keyring:", "FTP.Pass2");
    QCOMPARE(back.secret.value_or(back.problem), ToCp932(QStringLiteral("パス-from-dialog")));
  }

  void ShowsEveryCaptionAndMasksThePassword() {
    AppSettings settings;
    FtpSettingsDialog dialog(settings);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("ＦＴＰの設定"));
    QCOMPARE(Edit(dialog, "passwordEdit")->echoMode(), QLineEdit::Password);
    struct Caption { const char* name; QString text; };
    const Caption captions[] = {
        {"headingLabel", "ＦＴＰを設定"}, {"siteCountLabel", "サイト数"},
        {"siteSwitchLabel", "サイト切り換え"}, {"site1Radio", "サイト１"}, {"site2Radio", "サイト２"},
        {"site3Radio", "サイト３"}, {"site4Radio", "サイト４"}, {"site5Radio", "サイト５"},
        {"ftpServerGroup", "FTPサーバ設定"}, {"serverLabel", "ＦＴＰサーバ名"},
        {"userLabel", "ユーザ名"}, {"passwordLabel", "パスワード"},
        {"uploadFileLabel", "アップロードファイル"}, {"localFileLabel", "ローカルファイル"},
        {"uploadBrowseButton", "参照"}, {"localBrowseButton", "参照"},
        {"homePageLabel", "公開ホームページアドレス：http://"},
        {"homePageFromFileButton", "ファイルからＨＰ登録"}, {"okButton", "設定"},
        {"cancelButton", "ｷｬﾝｾﾙ"}, {"uploadTestButton", "アップロードテスト"},
        {"checkUrlLabel", "確認用URL"}, {"checkUrlButton", "今すぐ確認"},
    };
    for (const auto& caption : captions) {
      QWidget* widget = Child(dialog, caption.name);
      const char* property = qobject_cast<QGroupBox*>(widget) ? "title" : "text";
      QCOMPARE(widget->property(property).toString(), caption.text);
    }
    FtpBrowseDialog browser;
    QCOMPARE(browser.windowTitle(), QStringLiteral("FTPサイト内参照"));
    QCOMPARE(Child<QGroupBox>(browser, "siteGroup")->title(), QStringLiteral("サイト内"));
    QCOMPARE(Child(browser, "directoryLabel")->property("text").toString(), QStringLiteral("ディレクトリー"));
    QCOMPARE(Child(browser, "fileNameLabel")->property("text").toString(), QStringLiteral("ファイル名"));
  }
};

}  // namespace zepa2::ui

QTEST_MAIN(zepa2::ui::FtpSettingsDialogTest)
#include "ftp_settings_dialog_test.moc"
