#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>
#include <optional>

#include "core/settings/settings_store.h"
#include "core/text/cp932.h"
#include "support/fixture_process.h"
#include "support/free_port.h"
#include "support/qt_modal.h"
#include "support/qt_widgets.h"
#include "support/temp_dir.h"
#include "ui/common/message_box.h"
#include "ui/settings/page_view_dialog.h"
#include "ui/settings/router_settings_dialog.h"

using zepa2::AppSettings;
using zepa2::ui::MessageAnswer;
using zepa2::ui::MessageBoxSeam;
using zepa2::ui::MessageIcon;
using zepa2::test::Child;
using zepa2::test::Edit;
using zepa2::test::ShownTexts;
using zepa2::ui::RouterSettingsDialog;

namespace {

void NoPause(std::chrono::milliseconds) {}

QPushButton* Button(QWidget* dialog, const char* name) { return Child<QPushButton>(dialog, name); }

// Replaces the edit's text the way a paste over a selection does.
void Paste(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  edit->insert(text);
}

// Clicks button and returns what the page view it opens showed; nothing when none opened.
std::optional<QString> PageViewAfter(QPushButton* button) {
  std::optional<QString> shown;
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* view = qobject_cast<zepa2::ui::PageViewDialog*>(QApplication::activeModalWidget());
    if (!view) return;
    poll.stop();
    shown = Child<QPlainTextEdit>(view, "pageText")->toPlainText();
    view->accept();
  });
  poll.start();
  button->click();
  return shown;
}

AppSettings LoadSavedSettings() {
  AppSettings loaded;
  zepa2::LoadSettings(loaded, zepa2::SettingsFilePath(), [] {});
  return loaded;
}

}  // namespace

class RouterSettingsDialogTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<zepa2::test::TempDir> config_;
  std::unique_ptr<zepa2::test::ScopedEnv> xdg_;
  std::unique_ptr<zepa2::test::FixtureProcess> router_;

  QString RouterAddress(const char* path) const {
    return QString::fromStdString(router_->hostPort()) + "/" + QString::fromLatin1(path);
  }

  // Types the address of a fixture page and runs the connect test; returns its messages.
  QStringList ConnectTo(RouterSettingsDialog& dialog, const QString& address) {
    Paste(Edit(&dialog, "addressEdit"), address);
    Button(&dialog, "connectTestButton")->click();
    return ShownTexts();
  }

  static bool PageButtonsEnabled(RouterSettingsDialog& dialog) {
    const bool auto_ = Button(&dialog, "autoFilterButton")->isEnabled();
    const bool f1 = Button(&dialog, "filter1TestButton")->isEnabled();
    const bool f2 = Button(&dialog, "filter2TestButton")->isEnabled();
    if (auto_ != f1 || f1 != f2) qFatal("the three page buttons disagree");
    return f1;
  }

  static void SetFilters(RouterSettingsDialog& dialog, const QString& f1, const QString& f2,
                         const QString& f3, const QString& f4) {
    Paste(Edit(&dialog, "filter1Edit"), f1);
    Paste(Edit(&dialog, "filter2Edit"), f2);
    Paste(Edit(&dialog, "filter3Edit"), f3);
    Paste(Edit(&dialog, "filter4Edit"), f4);
  }

 private slots:
  void initTestCase() {
    config_ = std::make_unique<zepa2::test::TempDir>();
    xdg_ = std::make_unique<zepa2::test::ScopedEnv>("XDG_CONFIG_HOME", config_->path().string());
    router_ = std::make_unique<zepa2::test::FixtureProcess>("router_server.py");
    MessageBoxSeam::Intercept(true);
  }

  void cleanupTestCase() { MessageBoxSeam::Intercept(false); }

  void init() {
    std::filesystem::remove(zepa2::SettingsFilePath());
    MessageBoxSeam::TakeShown();
  }

  void captionsAndStartState() {
    AppSettings settings;
    RouterSettingsDialog dialog(settings, NoPause);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("HTTP設定"));
    QCOMPARE(Button(&dialog, "okButton")->text(), QStringLiteral("設定"));
    QVERIFY(Button(&dialog, "okButton")->isDefault());
    QCOMPARE(Button(&dialog, "cancelButton")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
    QCOMPARE(Button(&dialog, "autoFilterButton")->text(), QStringLiteral("フィルター文字自動取得"));
    QCOMPARE(Child<QCheckBox>(&dialog, "authCheck")->text(), QStringLiteral("ユーザ・パスワードを有効"));
    QCOMPARE(Edit(&dialog, "passEdit")->echoMode(), QLineEdit::Password);
    QVERIFY(!PageButtonsEnabled(dialog));
  }

  // Where the address comes from is the first row and the first stop of Tab; 設定/ｷｬﾝｾﾙ are last.
  void sourceRowIsOnTopAndTabFollowsTheEye() {
    AppSettings settings;
    RouterSettingsDialog dialog(settings, NoPause);
    const int sourceBottom = Child<QComboBox>(&dialog, "addressSourceCombo")->geometry().bottom();
    QVERIFY(sourceBottom < dialog.findChild<QWidget*>("wwwServerGroup")->geometry().top());
    const int gatewayBottom = Edit(&dialog, "igdUrlEdit")->geometry().bottom();
    QVERIFY(sourceBottom < Edit(&dialog, "igdUrlEdit")->geometry().top());
    QCOMPARE(Edit(&dialog, "natPmpGatewayEdit")->geometry().top(), Edit(&dialog, "igdUrlEdit")->geometry().top());
    QVERIFY(gatewayBottom < dialog.findChild<QWidget*>("wwwServerGroup")->geometry().top());
    const QStringList expected{"addressSourceCombo", "wholePageCheck",    "igdUrlEdit",      "natPmpGatewayEdit",
                               "addressEdit",        "browserCheckButton", "authCheck",      "userEdit",
                               "passEdit",           "connectTestButton", "showHtmlButton", "filter1Edit",
                               "filter4Edit",        "autoFilterButton",  "filter2TestButton", "forgetPinButton",
                               "okButton",           "cancelButton"};
    QCOMPARE(zepa2::test::TabOrderOf(dialog, expected), expected);
    QCOMPARE(zepa2::test::TabOrder(dialog).last(), QStringLiteral("cancelButton"));
  }

  void addressSplits_data() {
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("path");
    QTest::newRow("with http://") << "http://192.168.0.1/status.htm" << "192.168.0.1/status.htm"
                                  << "192.168.0.1" << "status.htm";
    QTest::newRow("no slash") << "192.168.0.1" << "192.168.0.1" << "" << "";
    QTest::newRow("ends in slash") << "192.168.0.1/" << "192.168.0.1/" << "192.168.0.1" << "";
    QTest::newRow("port and deeper path") << "192.168.0.1:8080/cgi-bin/st.htm"
                                          << "192.168.0.1:8080/cgi-bin/st.htm" << "192.168.0.1:8080"
                                          << "cgi-bin/st.htm";
    QTest::newRow("upper-case scheme stays") << "HTTP://r/s" << "HTTP://r/s" << "HTTP:" << "/r/s";
    QTest::newRow("only http://") << "http://" << "" << "" << "";
    QTest::newRow("https:// stays with the server") << "https://192.168.0.1/st.htm"
                                                    << "https://192.168.0.1/st.htm"
                                                    << "https://192.168.0.1" << "st.htm";
  }

  // An HTTPS router's self-signed key: Cancel ends the test as a failed connection, OK pins it
  // into the dialog (stored with "設定"), the forget button empties it, and a changed key is told.
  void connectTestOffersToPinAnUnverifiedKey() {
    zepa2::test::TempDir certs;
    zepa2::test::FixtureProcess https("router_server.py", {"--tls=" + certs.path().string()});
    const QString pin = QString::fromStdString(zepa2::test::ReadFile(certs.path() / "cert.pin"));
    AppSettings settings;
    RouterSettingsDialog dialog(settings, NoPause);
    Paste(Edit(&dialog, "addressEdit"), QString::fromStdString("https://" + https.hostPort() + "/status.htm"));

    MessageBoxSeam::QueueAnswer(MessageAnswer::Cancel);
    Button(&dialog, "connectTestButton")->click();
    auto shown = MessageBoxSeam::TakeShown();
    QCOMPARE(shown.size(), std::size_t{2});
    QVERIFY(shown[0].buttons == zepa2::ui::MessageButtons::OkCancel);
    QVERIFY(shown[0].text.contains(pin));
    QCOMPARE(shown[1].text, QStringLiteral("接続できませんでした。"));
    QCOMPARE(Edit(&dialog, "pinEdit")->text(), QString());

    MessageBoxSeam::QueueAnswer(MessageAnswer::Ok);
    Button(&dialog, "connectTestButton")->click();
    shown = MessageBoxSeam::TakeShown();
    QCOMPARE(shown.size(), std::size_t{2});
    QVERIFY(shown[1].text.contains(QStringLiteral("成功")));
    QCOMPARE(Edit(&dialog, "pinEdit")->text(), pin);
    QVERIFY(PageButtonsEnabled(dialog));

    zepa2::test::TempDir otherCerts;
    zepa2::test::FixtureProcess other("router_server.py", {"--tls=" + otherCerts.path().string()});
    Paste(Edit(&dialog, "addressEdit"), QString::fromStdString("https://" + other.hostPort() + "/status.htm"));
    Button(&dialog, "connectTestButton")->click();
    shown = MessageBoxSeam::TakeShown();
    QCOMPARE(shown.size(), std::size_t{2});
    QVERIFY(shown[0].text.contains(QStringLiteral("登録した鍵と違う")));
    // Both keys, each on a line of its own, to compare.
    const QString otherPin = QString::fromStdString(zepa2::test::ReadFile(otherCerts.path() / "cert.pin"));
    QVERIFY(shown[0].text.contains("登録した鍵：\n" + pin + "\n"));
    QVERIFY(shown[0].text.contains("サーバが示した鍵：\n" + otherPin + "\n"));
    QCOMPARE(Edit(&dialog, "pinEdit")->text(), pin);  // never replaced without the user

    Paste(Edit(&dialog, "addressEdit"), QString::fromStdString("https://" + https.hostPort() + "/status.htm"));
    Button(&dialog, "okButton")->click();
    QCOMPARE(QString::fromStdString(settings.routerPin), pin);
    QCOMPARE(QString::fromStdString(settings.routerServer), QString::fromStdString("https://" + https.hostPort()));

    RouterSettingsDialog again(settings, NoPause);
    QCOMPARE(Edit(&again, "pinEdit")->text(), pin);
    QCOMPARE(Edit(&again, "pinEdit")->toolTip(), pin);  // the field shows its start, the hover all of it
    QCOMPARE(Edit(&again, "pinEdit")->cursorPosition(), 0);
    // Forgetting asks first: No keeps the pin, Yes forgets it and the button goes off with it.
    MessageBoxSeam::QueueAnswer(MessageAnswer::No);
    Button(&again, "forgetPinButton")->click();
    QCOMPARE(Edit(&again, "pinEdit")->text(), pin);
    MessageBoxSeam::QueueAnswer(MessageAnswer::Yes);
    Button(&again, "forgetPinButton")->click();
    QCOMPARE(Edit(&again, "pinEdit")->text(), QString());
    QVERIFY(!Button(&again, "forgetPinButton")->isEnabled());
    Button(&again, "okButton")->click();
    QCOMPARE(settings.routerPin, std::string());
  }
  void addressSplits() {
    QFETCH(QString, pasted);
    QFETCH(QString, shown);
    QFETCH(QString, server);
    QFETCH(QString, path);
    AppSettings settings;
    settings.routerServer = "old";
    settings.routerPage = "old.htm";
    RouterSettingsDialog dialog(settings, NoPause);
    QCOMPARE(Edit(&dialog, "addressEdit")->text(), QStringLiteral("old/old.htm"));

    Paste(Edit(&dialog, "addressEdit"), pasted);
    QCOMPARE(Edit(&dialog, "addressEdit")->text(), shown);
    QCOMPARE(Child<QLabel>(&dialog, "serverLabel")->text(), server);
    QCOMPARE(Child<QLabel>(&dialog, "pathLabel")->text(), path);

    Button(&dialog, "okButton")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const AppSettings saved = LoadSavedSettings();
    QCOMPARE(QString::fromStdString(saved.routerServer), server);
    QCOMPARE(QString::fromStdString(saved.routerPage), path);
    QCOMPARE(saved, settings);
  }

  void typingTheSchemeDropsItAsSoonAsItIsComplete() {
    AppSettings settings;
    RouterSettingsDialog dialog(settings, NoPause);
    QLineEdit* address = Edit(&dialog, "addressEdit");
    address->clear();
    address->setFocus();
    QTest::keyClicks(address, "http://10.0.0.1/a");
    QCOMPARE(address->text(), QStringLiteral("10.0.0.1/a"));
    QCOMPARE(Child<QLabel>(&dialog, "serverLabel")->text(), QStringLiteral("10.0.0.1"));
    // Typing in the middle keeps the caret where it is.
    address->setCursorPosition(8);
    QTest::keyClicks(address, ":81");
    QCOMPARE(address->text(), QStringLiteral("10.0.0.1:81/a"));
    QCOMPARE(address->cursorPosition(), 11);
  }

  void connectTestOutcomes() {
    AppSettings settings;
    RouterSettingsDialog dialog(settings, NoPause);
    std::vector<MessageIcon> icons;

    const QString dead = QStringLiteral("127.0.0.1:%1/status.htm").arg(zepa2::test::UnusedLocalPort());
    QCOMPARE(ConnectTo(dialog, dead), QStringList{"接続できませんでした。"});
    QVERIFY(!PageButtonsEnabled(dialog));
    QCOMPARE(ConnectTo(dialog, RouterAddress("basic/status.htm")), QStringList{"ページが開けません。"});
    QVERIFY(!PageButtonsEnabled(dialog));

    // The same page with the credentials; the port in the server text is the one used.
    Child<QCheckBox>(&dialog, "authCheck")->click();
    Paste(Edit(&dialog, "userEdit"), "admin");
    Paste(Edit(&dialog, "passEdit"), "secret");
    Button(&dialog, "connectTestButton")->click();
    QCOMPARE(ShownTexts(&icons), QStringList{"成功しました。"});
    QCOMPARE(icons, std::vector{MessageIcon::Information});
    QVERIFY(PageButtonsEnabled(dialog));
    const auto page = PageViewAfter(Button(&dialog, "showHtmlButton"));
    QVERIFY(page && page->contains("WAN側IPアドレス") && page->contains("10.0.0.1"));

    // A dead server keeps the page of the earlier success.
    icons.clear();
    QCOMPARE(ConnectTo(dialog, dead), QStringList{"接続できませんでした。"});
    QCOMPARE(PageViewAfter(Button(&dialog, "showHtmlButton")), page);

    // A bad status drops it; the buttons stay, but the tests want a new connect test.
    QCOMPARE(ConnectTo(dialog, RouterAddress("missing.htm")), QStringList{"ページが開けません。"});
    QVERIFY(PageButtonsEnabled(dialog));
    QCOMPARE(PageViewAfter(Button(&dialog, "showHtmlButton")), std::optional<QString>(QString()));
    Button(&dialog, "filter1TestButton")->click();
    Button(&dialog, "filter2TestButton")->click();
    Button(&dialog, "autoFilterButton")->click();
    QCOMPARE(ShownTexts(), QStringList(3, "先に接続テストを行ってください。"));
  }

  // The connect test asks the chosen source; the choice and "whole page" are saved with "設定".
  void sourceChoiceTestsAndSavesTheSource() {
    zepa2::test::FixtureProcess igd("igd_server.py");
    AppSettings settings;
    settings.addressSource = zepa2::AddressSource::Upnp;
    settings.igdUrl = "http://" + igd.hostPort() + "/ip/rootDesc.xml";
    RouterSettingsDialog dialog(settings, NoPause);
    auto* source = Child<QComboBox>(&dialog, "addressSourceCombo");
    auto* wholePage = Child<QCheckBox>(&dialog, "wholePageCheck");
    QCOMPARE(source->currentIndex(), 1);
    QCOMPARE(source->count(), 3);
    QCOMPARE(source->itemText(0), QStringLiteral("ルータのページ"));
    QCOMPARE(wholePage->text(), QStringLiteral("ページ全体がアドレス"));
    QVERIFY(!wholePage->isChecked());

    std::vector<MessageIcon> icons;
    Button(&dialog, "connectTestButton")->click();
    QCOMPARE(ShownTexts(&icons), QStringList{"成功しました。\n取得したアドレス：203.0.113.45"});
    QCOMPARE(icons, std::vector{MessageIcon::Information});
    QVERIFY(!PageButtonsEnabled(dialog));  // no page came with it

    // The test asks the URL the dialog shows, not the one the settings held when it opened.
    const QString faultUrl = QString::fromStdString("http://" + igd.hostPort() + "/fault/rootDesc.xml");
    QCOMPARE(Edit(&dialog, "igdUrlEdit")->text(), QString::fromStdString(settings.igdUrl));
    Paste(Edit(&dialog, "igdUrlEdit"), faultUrl);
    Button(&dialog, "connectTestButton")->click();
    // Japanese only: the router's English fault is for the log.
    QCOMPARE(ShownTexts(), QStringList{"接続できませんでした。\nUPnPでIPアドレス取得失敗"});

    // Back to the router page: the page's own test, with the whole page as the address.
    source->setCurrentIndex(0);
    wholePage->click();
    QCOMPARE(ConnectTo(dialog, RouterAddress("text/198.51.100.7%0D%0A")), QStringList{"成功しました。"});
    Button(&dialog, "okButton")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const AppSettings saved = LoadSavedSettings();
    QCOMPARE(saved.addressSource, zepa2::AddressSource::RouterPage);
    QCOMPARE(saved.wholePage, true);
    QCOMPARE(saved.igdUrl, faultUrl.toStdString());
  }

  // Each control holds its field: opened and confirmed untouched, the dialog keeps every router
  // field as it was, a marker that ends inside a two-byte character included.
  void untouchedDialogKeepsEveryField() {
    AppSettings settings;
    settings.routerServer = "https://192.168.0.1:8443";
    settings.routerPage = "st.htm";
    settings.routerAuth = true;
    settings.routerUser = "admin";
    settings.routerPass = "env:ROUTER_PASS";
    settings.routerPin = "sha256//47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU=";
    settings.addressSource = zepa2::AddressSource::NatPmp;
    settings.wholePage = true;
    settings.igdUrl = "http://192.168.0.1:5000/rootDesc.xml";
    settings.natPmpGateway = "192.168.0.1";
    settings.filter1 = "WAN\x83";
    settings.filter2 = "</table>";
    settings.filter3 = "<td>";
    settings.filter4 = "</td>";
    const AppSettings before = settings;
    RouterSettingsDialog dialog(settings, NoPause);
    Button(&dialog, "okButton")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(settings == before);
    const AppSettings saved = LoadSavedSettings();
    QCOMPARE(saved.filter1, before.filter1);
    QCOMPARE(saved.routerPin, before.routerPin);
    QCOMPARE(saved.natPmpGateway, before.natPmpGateway);
  }

  // The two gateway fields: what each opening shows, what 設定 saves, and what it refuses, by the
  // chosen source's field only and naming it, the way the other fields are refused.
  void gatewayFieldsSaveAndRefuse_data() {
    QTest::addColumn<int>("source");
    QTest::addColumn<QString>("igdUrl");
    QTest::addColumn<QString>("gateway");
    QTest::addColumn<QString>("refusal");  // empty: saved
    QTest::newRow("upnp url") << 1 << "http://192.168.0.1:5000/rootDesc.xml" << "" << "";
    QTest::newRow("upnp empty: discover") << 1 << "" << "10.0.0.1" << "";
    QTest::newRow("natpmp address") << 2 << "" << "192.168.10.1" << "";
    QTest::newRow("natpmp empty: default route") << 2 << "http://x/" << "" << "";
    QTest::newRow("page ignores both") << 0 << "junk" << "junk" << "";
    QTest::newRow("upnp https") << 1 << "https://192.168.0.1/rootDesc.xml" << ""
                                << "「IGDのURL」には http:// で始まるURLを入力してください。";
    QTest::newRow("upnp no scheme") << 1 << "192.168.0.1:5000/rootDesc.xml" << ""
                                    << "「IGDのURL」には http:// で始まるURLを入力してください。";
    QTest::newRow("upnp line break") << 1 << "http://192.168.0.1/a\nHost: x" << ""
                                     << "「IGDのURL」に改行文字または NUL 文字が含まれています。";
    QTest::newRow("natpmp host name") << 2 << "" << "router.lan"
                                      << "「ゲートウェイ」にはIPv4アドレス（例：192.168.0.1）を入力してください。";
    QTest::newRow("natpmp line break") << 2 << "" << "192.168.0.1\r\n"
                                       << "「ゲートウェイ」に改行文字または NUL 文字が含まれています。";
  }

  void gatewayFieldsSaveAndRefuse() {
    QFETCH(int, source);
    QFETCH(QString, igdUrl);
    QFETCH(QString, gateway);
    QFETCH(QString, refusal);
    AppSettings settings;
    settings.igdUrl = "http://192.168.0.1:1900/old.xml";
    settings.natPmpGateway = "192.168.0.254";
    {
      RouterSettingsDialog opened(settings, NoPause);
      QCOMPARE(Edit(&opened, "igdUrlEdit")->text(), QStringLiteral("http://192.168.0.1:1900/old.xml"));
      QCOMPARE(Edit(&opened, "natPmpGatewayEdit")->text(), QStringLiteral("192.168.0.254"));
      QVERIFY(!Edit(&opened, "igdUrlEdit")->placeholderText().isEmpty());
    }
    RouterSettingsDialog dialog(settings, NoPause);
    Child<QComboBox>(&dialog, "addressSourceCombo")->setCurrentIndex(source);
    Paste(Edit(&dialog, "igdUrlEdit"), igdUrl);
    Paste(Edit(&dialog, "natPmpGatewayEdit"), gateway);
    Button(&dialog, "okButton")->click();
    if (refusal.isEmpty()) {
      QCOMPARE(ShownTexts(), QStringList());
      QCOMPARE(dialog.result(), int(QDialog::Accepted));
      const AppSettings saved = LoadSavedSettings();
      QCOMPARE(QString::fromStdString(saved.igdUrl), igdUrl);
      QCOMPARE(QString::fromStdString(saved.natPmpGateway), gateway);
      QCOMPARE(settings.natPmpGateway, saved.natPmpGateway);
      return;
    }
    std::vector<MessageIcon> icons;
    QVERIFY(ShownTexts(&icons).value(0).startsWith(refusal));
    QCOMPARE(icons, std::vector{MessageIcon::Exclamation});
    QVERIFY(!std::filesystem::exists(zepa2::SettingsFilePath()));
    QCOMPARE(settings.igdUrl, std::string("http://192.168.0.1:1900/old.xml"));
    // The connect test refuses the same value before it asks anything.
    Button(&dialog, "connectTestButton")->click();
    QVERIFY(ShownTexts().value(0).startsWith(refusal));
  }

  void showHtmlBeforeAnyTestShowsAnEmptyPage() {
    AppSettings settings;
    RouterSettingsDialog dialog(settings, NoPause);
    QCOMPARE(PageViewAfter(Button(&dialog, "showHtmlButton")), std::optional<QString>(QString()));
  }

  void filterTests_data() {
    QTest::addColumn<int>("which");
    QTest::addColumn<QStringList>("filters");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    const QStringList good{"WAN側IPアドレス</td>", "</tr>", "<td>", "</td>"};
    QTest::newRow("1: found") << 1 << good << "" << "<td>10.0.0.1</td>";
    QTest::newRow("1: empty markers") << 1 << QStringList{"", "", "", ""} << "" << "";
    QTest::newRow("1: missing") << 1 << QStringList{"LAN側", "</tr>", "", ""}
                                << "指定された文字列はありませんでした。" << "";
    QTest::newRow("2: found") << 2 << good << "" << "10.0.0.1";
    QTest::newRow("2: first pair missing") << 2 << QStringList{"LAN側", "</tr>", "<td>", "</td>"}
                                           << "フィルター１で指定された文字列はありませんでした。" << "";
    QTest::newRow("2: second pair missing") << 2 << QStringList{good[0], good[1], "<th>", "</td>"}
                                            << "フィルター２で指定された文字列はありませんでした。" << "";
  }
  void filterTests() {
    QFETCH(int, which);
    QFETCH(QStringList, filters);
    QFETCH(QString, message);
    QFETCH(QString, shown);
    AppSettings settings;
    RouterSettingsDialog dialog(settings, NoPause);
    QCOMPARE(ConnectTo(dialog, RouterAddress("status.htm")), QStringList{"成功しました。"});
    SetFilters(dialog, filters[0], filters[1], filters[2], filters[3]);

    const auto view = PageViewAfter(Button(&dialog, which == 1 ? "filter1TestButton" : "filter2TestButton"));
    std::vector<MessageIcon> icons;
    const QStringList messages = ShownTexts(&icons);
    if (message.isEmpty()) {
      QCOMPARE(view, std::optional<QString>(shown));
      QVERIFY(messages.isEmpty());
    } else {
      QCOMPARE(view, std::nullopt);
      QCOMPARE(messages, QStringList{message});
      QCOMPARE(icons, std::vector{MessageIcon::Information});
    }
  }

  void filterTestsOnAnEmptyPageAskForAConnectTest() {
    AppSettings settings;
    RouterSettingsDialog dialog(settings, NoPause);
    QCOMPARE(ConnectTo(dialog, RouterAddress("empty.htm")), QStringList{"成功しました。"});
    Button(&dialog, "filter1TestButton")->click();
    Button(&dialog, "filter2TestButton")->click();
    QCOMPARE(ShownTexts(), QStringList(2, "先に接続テストを行ってください。"));
  }

  void credentialsFollowTheCheckBox() {
    AppSettings settings;
    settings.routerAuth = 1;
    settings.routerUser = "admin";
    settings.routerPass = "secret";
    RouterSettingsDialog dialog(settings, NoPause);
    auto* check = Child<QCheckBox>(&dialog, "authCheck");
    QVERIFY(check->isChecked());
    QVERIFY(Edit(&dialog, "userEdit")->isEnabled());
    QCOMPARE(Edit(&dialog, "passEdit")->text(), QStringLiteral("secret"));

    check->click();
    QVERIFY(!Edit(&dialog, "userEdit")->isEnabled() && !Edit(&dialog, "passEdit")->isEnabled());
    QCOMPARE(Edit(&dialog, "userEdit")->text(), QString());
    QCOMPARE(Edit(&dialog, "passEdit")->text(), QString());
    check->click();
    QVERIFY(Edit(&dialog, "userEdit")->isEnabled());
    QCOMPARE(Edit(&dialog, "userEdit")->text(), QString());  // not brought back

    // Opened with the box off, stored credentials are neither shown nor kept.
    AppSettings off;
    off.routerUser = "admin";
    off.routerPass = "secret";
    RouterSettingsDialog second(off, NoPause);
    QVERIFY(!Edit(&second, "userEdit")->isEnabled());
    QCOMPARE(Edit(&second, "userEdit")->text(), QString());
    Button(&second, "okButton")->click();
    QCOMPARE(off.routerUser, std::string());
    QCOMPARE(LoadSavedSettings().routerPass, std::string());
  }

  void cancelAsksFirst() {
    AppSettings settings;
    settings.routerServer = "192.168.0.1";
    settings.routerPage = "status.htm";
    const AppSettings before = settings;
    RouterSettingsDialog dialog(settings, NoPause);
    dialog.show();
    Paste(Edit(&dialog, "addressEdit"), "10.1.1.1/x.htm");
    SetFilters(dialog, "a", "b", "c", "d");

    MessageBoxSeam::QueueAnswer(MessageAnswer::No);
    Button(&dialog, "cancelButton")->click();
    std::vector<MessageIcon> icons;
    QCOMPARE(ShownTexts(&icons),
             QStringList{"設定を中止します。\n変更データは反映されません。よろしいですか？"});
    QCOMPARE(icons, std::vector{MessageIcon::Question});
    QVERIFY(dialog.isVisible());
    QCOMPARE(Edit(&dialog, "addressEdit")->text(), QStringLiteral("10.1.1.1/x.htm"));
    QCOMPARE(Edit(&dialog, "filter4Edit")->text(), QStringLiteral("d"));

    MessageBoxSeam::QueueAnswer(MessageAnswer::Yes);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(ShownTexts().size(), 1);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(settings, before);
    QVERIFY(!std::filesystem::exists(zepa2::SettingsFilePath()));
  }

  // A line break pasted into a field of the request is refused on OK with the field named; the
  // dialog stays open and nothing is saved.
  void pastedLineBreakIsRefusedOnOk() {
    const struct {
      const char* edit;
      QString text;
      const char* field;
    } cases[] = {{"addressEdit", "router\r\nX-Injected: 1/status.htm", "サーバ名"},
                 {"addressEdit", "router/status.htm\r\nX-Injected: 1", "サイト・パス"},
                 {"userEdit", "admin\r\nX-Injected: 1", "User"},
                 {"passEdit", "secret\nX", "Pass"}};
    for (const auto& c : cases) {
      AppSettings settings;
      settings.routerServer = "router";
      settings.routerPage = "status.htm";
      settings.routerAuth = 1;
      const AppSettings before = settings;
      RouterSettingsDialog dialog(settings, NoPause);
      dialog.show();
      Paste(Edit(&dialog, c.edit), c.text);
      Button(&dialog, "okButton")->click();
      std::vector<MessageIcon> icons;
      QCOMPARE(ShownTexts(&icons),
               QStringList{QStringLiteral("「") + QString::fromUtf8(c.field) +
                           QStringLiteral("」に改行文字または NUL 文字が含まれています。\n取り除いてから設定してください。")});
      QVERIFY(icons.at(0) == MessageIcon::Exclamation);
      QVERIFY(dialog.isVisible());
      QCOMPARE(settings, before);
      QVERIFY(!std::filesystem::exists(zepa2::SettingsFilePath()));
    }
  }

  void aFailedSaveKeepsTheDialogAndTheSettings() {
    const auto notAFolder = config_->path() / "not-a-folder";
    zepa2::test::WriteFile(notAFolder, "x");
    zepa2::test::ScopedEnv xdg("XDG_CONFIG_HOME", notAFolder.string());
    AppSettings settings;
    const AppSettings before = settings;
    RouterSettingsDialog dialog(settings, NoPause);
    dialog.show();
    Paste(Edit(&dialog, "addressEdit"), "10.1.1.1/x.htm");
    Button(&dialog, "okButton")->click();
    const QStringList messages = ShownTexts();
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages[0].startsWith("設定を保存できませんでした。"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(settings, before);
    QCOMPARE(Edit(&dialog, "addressEdit")->text(), QStringLiteral("10.1.1.1/x.htm"));
  }

  void browserCheckOpensTheAddress() {
    AppSettings settings;
    RouterSettingsDialog dialog(settings, NoPause);
    QList<QUrl> opened;
    dialog.SetUrlOpener([&opened](const QUrl& url) {
      opened << url;
      return true;
    });
    Paste(Edit(&dialog, "addressEdit"), "http://192.168.0.1:8080/status.htm");
    Button(&dialog, "browserCheckButton")->click();
    QCOMPARE(opened, QList<QUrl>{QUrl("http://192.168.0.1:8080/status.htm")});
  }

  // The router's page opens with the scheme it has; only a bare address gets the http:// prefix.
  void browserCheckKeepsTheRoutersScheme() {
    AppSettings settings;
    RouterSettingsDialog dialog(settings, NoPause);
    QList<QUrl> opened;
    dialog.SetUrlOpener([&opened](const QUrl& url) {
      opened << url;
      return true;
    });
    auto* prefix = Child<QLabel>(&dialog, "httpPrefixLabel");
    Paste(Edit(&dialog, "addressEdit"), "https://127.0.0.1:8443/status.htm");
    QCOMPARE(prefix->text(), QString());
    Button(&dialog, "browserCheckButton")->click();
    Paste(Edit(&dialog, "addressEdit"), "192.168.0.1/status.htm");
    QCOMPARE(prefix->text(), QStringLiteral("http://"));
    Button(&dialog, "browserCheckButton")->click();
    QCOMPARE(opened, (QList<QUrl>{QUrl("https://127.0.0.1:8443/status.htm"), QUrl("http://192.168.0.1/status.htm")}));
  }

  // What the chosen source does not use is disabled; with the whole page the markers are unused.
  void controlsFollowTheSource() {
    AppSettings settings;
    RouterSettingsDialog dialog(settings, NoPause);
    auto* source = Child<QComboBox>(&dialog, "addressSourceCombo");
    auto* wholePage = Child<QCheckBox>(&dialog, "wholePageCheck");
    const QStringList pageOnly{"addressEdit", "browserCheckButton", "authCheck", "showHtmlButton",
                               "filter1Edit", "filter4Edit", "wholePageCheck"};
    for (int index : {1, 2, 0}) {
      source->setCurrentIndex(index);
      for (const QString& name : pageOnly)
        QVERIFY2(dialog.findChild<QWidget*>(name)->isEnabled() == (index == 0), qPrintable(name));
      QCOMPARE(Edit(&dialog, "igdUrlEdit")->isEnabled(), index == 1);
      QCOMPARE(Edit(&dialog, "natPmpGatewayEdit")->isEnabled(), index == 2);
      QVERIFY(Button(&dialog, "connectTestButton")->isEnabled());
      QVERIFY(!Edit(&dialog, "userEdit")->isEnabled());
    }
    QCOMPARE(ConnectTo(dialog, RouterAddress("status.htm")), QStringList{"成功しました。"});
    QVERIFY(PageButtonsEnabled(dialog));
    wholePage->click();
    QVERIFY(!PageButtonsEnabled(dialog));
    QVERIFY(!Edit(&dialog, "filter2Edit")->isEnabled());
    wholePage->click();
    QVERIFY(PageButtonsEnabled(dialog));
  }

  void browserThatCannotStartGivesTheAddressInABox() {
    AppSettings settings;
    RouterSettingsDialog dialog(settings, NoPause);
    dialog.SetUrlOpener([](const QUrl&) { return false; });
    Paste(Edit(&dialog, "addressEdit"), "http://192.168.0.1/status.htm");
    Button(&dialog, "browserCheckButton")->click();
    const QStringList shown = ShownTexts();
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown[0].contains("http://192.168.0.1/status.htm"), qPrintable(shown[0]));
  }

  // The connect test runs on a worker: the dialog's events go on, its controls but ｷｬﾝｾﾙ are off,
  // the wait cursor shows and the dialog says it is connecting; Esc or ｷｬﾝｾﾙ ends a fetch from a
  // router that never answers as a stopped step, not a failed connection, and leaves the dialog open.
  void connectTestKeepsTheDialogLiveAndStops_data() {
    QTest::addColumn<bool>("byCancelButton");
    QTest::newRow("Esc") << false;
    QTest::newRow("ｷｬﾝｾﾙ") << true;
  }

  void connectTestKeepsTheDialogLiveAndStops() {
    QFETCH(bool, byCancelButton);
    AppSettings settings;
    RouterSettingsDialog dialog(settings, NoPause);
    dialog.show();
    auto* busy = Child<QLabel>(&dialog, "busyLabel");
    QVERIFY(busy->text().isEmpty());
    int ticks = 0;
    int stopTick = -1;
    bool disabledDuringStep = false;
    bool waitCursorDuringStep = false;
    bool cancelLive = false;
    QString busyText;
    QTimer timer;
    timer.setInterval(50);
    QObject::connect(&timer, &QTimer::timeout, [&] {
      if (++ticks != 10) return;
      disabledDuringStep = !Button(&dialog, "okButton")->isEnabled() &&
                           !Edit(&dialog, "addressEdit")->isEnabled();
      waitCursorDuringStep = QApplication::overrideCursor() &&
                             QApplication::overrideCursor()->shape() == Qt::WaitCursor;
      cancelLive = Button(&dialog, "cancelButton")->isEnabled();
      busyText = busy->text();
      stopTick = ticks;
      if (byCancelButton) {
        QTest::mouseClick(Button(&dialog, "cancelButton"), Qt::LeftButton);
      } else {
        QTest::keyClick(&dialog, Qt::Key_Escape);
      }
    });
    timer.start();
    const QStringList shown = ConnectTo(dialog, RouterAddress("hang.htm"));
    timer.stop();
    QCOMPARE(stopTick, 10);
    QVERIFY(disabledDuringStep);
    QVERIFY(waitCursorDuringStep);
    QVERIFY(cancelLive);
    QCOMPARE(busyText, QStringLiteral("接続中…"));
    QVERIFY2(ticks - stopTick <= 20, qPrintable(QString::number(ticks - stopTick)));  // a second at most
    // A stop is no failure, and ｷｬﾝｾﾙ stopped the step without asking to leave the dialog.
    QCOMPARE(shown, QStringList{QStringLiteral("中止しました。")});
    QVERIFY(dialog.isVisible());
    QVERIFY(Button(&dialog, "okButton")->isEnabled());
    QVERIFY(busy->text().isEmpty());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
  }

  void autoFilterRoundTripKeepsHalfCharactersByteForByte() {
    AppSettings settings;
    RouterSettingsDialog dialog(settings, NoPause);
    QCOMPARE(ConnectTo(dialog, RouterAddress("auto.htm")), QStringList{"成功しました。"});

    // The user pastes the address with a space on each side and presses "実行".
    zepa2::test::OnNextModalDialog([](QDialog* view) {
      QCOMPARE(Button(view, "okButton")->text(), QStringLiteral("実行"));
      Edit(view, "pickEdit")->setText(" 198.51.100.7 ");
      Button(view, "okButton")->click();
    });
    Button(&dialog, "autoFilterButton")->click();
    QCOMPARE(ShownTexts(), QStringList());

    const std::string filter1 = zepa2::Cp932("Nアドレスは").substr(0, 10);
    const std::string filter2 = zepa2::Cp932("接続中 です").substr(0, 10);
    const std::string filter3 = zepa2::Cp932("は</td><td>").substr(1);
    QCOMPARE(Edit(&dialog, "filter4Edit")->text(), QStringLiteral("</td><td>("));

    Button(&dialog, "okButton")->click();
    const AppSettings saved = LoadSavedSettings();
    QCOMPARE(saved.filter1, filter1);
    QCOMPARE(saved.filter2, filter2);
    QCOMPARE(saved.filter3, filter3);
    QCOMPARE(saved.filter4, std::string("</td><td>("));
    QCOMPARE(settings, saved);
  }

  void autoFilterFailuresLeaveTheMarkers() {
    AppSettings settings;
    settings.filter1 = "keep";
    RouterSettingsDialog dialog(settings, NoPause);
    QCOMPARE(ConnectTo(dialog, RouterAddress("auto.htm")), QStringList{"成功しました。"});

    // Closed with Esc before anything was pasted: nothing picked.
    zepa2::test::OnNextModalDialog([](QDialog* view) { view->reject(); });
    Button(&dialog, "autoFilterButton")->click();
    QCOMPARE(ShownTexts(), QStringList{"対象となる文字列を選んでください。"});

    // A text the page does not hold.
    zepa2::test::OnNextModalDialog([](QDialog* view) {
      Edit(view, "pickEdit")->setText("10.0.0.1");
      Button(view, "okButton")->click();
    });
    Button(&dialog, "autoFilterButton")->click();
    QCOMPARE(ShownTexts(), QStringList{"フィルター文字の生成に失敗しました。\n手動で入力してください。"});
    QCOMPARE(Edit(&dialog, "filter1Edit")->text(), QStringLiteral("keep"));
  }
};

QTEST_MAIN(RouterSettingsDialogTest)
#include "router_settings_dialog_test.moc"
