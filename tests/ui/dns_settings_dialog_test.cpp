#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "core/net/http_get.h"
#include "core/settings/settings_store.h"
#include "support/fixture_process.h"
#include "support/name_server.h"
#include "support/qt_widgets.h"
#include "support/temp_dir.h"
#include "ui/common/message_box.h"
#include "ui/settings/dns_settings_dialog.h"

using zepa2::AppSettings;
using zepa2::DnsKind;
using zepa2::DnsRecords;
using zepa2::ui::DnsSettingsDialog;
using zepa2::ui::MessageAnswer;
using zepa2::ui::MessageBoxSeam;
using zepa2::ui::MessageIcon;
using zepa2::test::Child;
using zepa2::test::Edit;
using zepa2::test::ShownTexts;

namespace {

QComboBox* Combo(QWidget* dialog, const char* name) { return Child<QComboBox>(dialog, name); }

void Type(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  edit->insert(text);
}

}  // namespace

class DnsSettingsDialogTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<zepa2::test::TempDir> config_;
  std::unique_ptr<zepa2::test::ScopedEnv> xdg_;
  std::unique_ptr<zepa2::test::FixtureProcess> provider_;

 private slots:
  void initTestCase() {
    config_ = std::make_unique<zepa2::test::TempDir>();
    xdg_ = std::make_unique<zepa2::test::ScopedEnv>("XDG_CONFIG_HOME", config_->path().string());
    provider_ = std::make_unique<zepa2::test::FixtureProcess>("dns_server.py");
    MessageBoxSeam::Intercept(true);
  }

  void cleanupTestCase() { MessageBoxSeam::Intercept(false); }

  void init() {
    std::filesystem::remove(zepa2::SettingsFilePath());
    MessageBoxSeam::TakeShown();
  }

  // Each kind shows its own fields, with its own words for the shared ones.
  void fieldsFollowTheKind() {
    AppSettings settings;
    DnsSettingsDialog dialog(settings, "203.0.113.5");
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("DNS設定"));
    auto visible = [&](const char* name) { return Child<QWidget>(&dialog, name)->isVisible(); };
    QVERIFY(!visible("urlEdit") && !visible("passEdit") && !visible("recordsCombo"));
    Combo(&dialog, "kindCombo")->setCurrentIndex(static_cast<int>(DnsKind::Url));
    QVERIFY(visible("urlEdit") && visible("matchEdit") && !visible("zoneEdit") && !visible("apiEdit"));
    QCOMPARE(Child<QLabel>(&dialog, "urlLabel")->text(), QStringLiteral("更新URL"));
    Combo(&dialog, "kindCombo")->setCurrentIndex(static_cast<int>(DnsKind::Dyndns2));
    QCOMPARE(Child<QLabel>(&dialog, "urlLabel")->text(), QStringLiteral("サーバ"));
    QVERIFY(visible("userEdit") && !visible("matchEdit"));
    Combo(&dialog, "kindCombo")->setCurrentIndex(static_cast<int>(DnsKind::Cloudflare));
    QVERIFY(!visible("urlEdit") && !visible("userEdit") && visible("zoneEdit") && visible("apiEdit"));
    QCOMPARE(Child<QLabel>(&dialog, "passLabel")->text(), QStringLiteral("APIトークン"));
    QVERIFY(!visible("algorithmEdit") && !visible("ttlEdit"));
    Combo(&dialog, "kindCombo")->setCurrentIndex(static_cast<int>(DnsKind::Rfc2136));
    QVERIFY(visible("urlEdit") && visible("zoneEdit") && visible("userEdit") && visible("algorithmEdit") &&
            visible("passEdit") && visible("ttlEdit") && !visible("pinEdit") && !visible("apiEdit"));
    QCOMPARE(Child<QLabel>(&dialog, "urlLabel")->text(), QStringLiteral("サーバ"));
    QCOMPARE(Child<QLabel>(&dialog, "userLabel")->text(), QStringLiteral("鍵の名前"));
    QCOMPARE(Child<QLabel>(&dialog, "passLabel")->text(), QStringLiteral("秘密鍵"));
  }

  // An RFC 2136 target's test sends one signed update to a real name server; its fields are saved.
  void rfc2136TestSendsOneSignedUpdate() {
    zepa2::test::LocalNameServer server(zepa2::test::NameServerKind::Knot);
    AppSettings settings;
    DnsSettingsDialog dialog(settings, "203.0.113.5");
    dialog.show();
    Combo(&dialog, "kindCombo")->setCurrentIndex(static_cast<int>(DnsKind::Rfc2136));
    Type(Edit(&dialog, "urlEdit"), QString::fromStdString(server.hostPort()));
    Type(Edit(&dialog, "zoneEdit"), zepa2::test::kZone);
    Type(Edit(&dialog, "hostEdit"), "home.example.test");
    Type(Edit(&dialog, "userEdit"), zepa2::test::kUpdateKeyName);
    Type(Edit(&dialog, "passEdit"), zepa2::test::kUpdateKeySecret);
    Type(Edit(&dialog, "ttlEdit"), "60");
    Child<QPushButton>(&dialog, "testButton")->click();
    const QStringList answer = ShownTexts();
    QVERIFY2(answer.size() == 1 && answer[0].contains("DNS1（home.example.test）:更新成功"),
             qPrintable(answer.join("|")));
    QCOMPARE(server.Records("home.example.test", "A"), std::string("60 203.0.113.5\n"));

    Child<QPushButton>(&dialog, "okButton")->click();
    AppSettings saved;
    zepa2::LoadSettings(saved, zepa2::SettingsFilePath(), [] {});
    QCOMPARE(saved.dnsTargets[0].kind, DnsKind::Rfc2136);
    QCOMPARE(saved.dnsTargets[0].ttl, std::string("60"));
    QCOMPARE(saved.dnsTargets[0].algorithm, std::string());
    QCOMPARE(saved.dnsTargets[0].user, std::string(zepa2::test::kUpdateKeyName));
  }

  // Filled for two targets, tested against the provider, saved: the file holds both, the window's
  // record too, and the test's answer was shown.
  void fillTestAndSave() {
    AppSettings settings;
    DnsSettingsDialog dialog(settings, "203.0.113.5");
    dialog.show();
    const QString server = "http://" + QString::fromStdString(provider_->hostPort());

    Combo(&dialog, "kindCombo")->setCurrentIndex(static_cast<int>(DnsKind::Dyndns2));
    Type(Edit(&dialog, "urlEdit"), server);
    Type(Edit(&dialog, "userEdit"), "me");
    Type(Edit(&dialog, "passEdit"), "secret");
    Type(Edit(&dialog, "hostEdit"), "home.example.net");
    Child<QPushButton>(&dialog, "testButton")->click();
    std::vector<MessageIcon> icons;
    const QStringList answer = ShownTexts(&icons);
    QCOMPARE(answer.size(), 1);
    QVERIFY2(answer[0].contains("DNS1（home.example.net）:更新成功"), qPrintable(answer[0]));
    QCOMPARE(icons.front(), MessageIcon::Information);
    const std::string log = zepa2::net::HttpGetUrl(server.toStdString() + "/log").body;
    QVERIFY(log.find("hostname=home.example.net&myip=203.0.113.5") != std::string::npos);

    Combo(&dialog, "targetCombo")->setCurrentIndex(2);
    QCOMPARE(Edit(&dialog, "hostEdit")->text(), QString());
    Combo(&dialog, "kindCombo")->setCurrentIndex(static_cast<int>(DnsKind::Cloudflare));
    Type(Edit(&dialog, "passEdit"), "bad-token");
    Type(Edit(&dialog, "hostEdit"), "www.example.org");
    Type(Edit(&dialog, "zoneEdit"), "example.org");
    Type(Edit(&dialog, "apiEdit"), server + "/client/v4");
    Combo(&dialog, "recordsCombo")->setCurrentIndex(static_cast<int>(DnsRecords::A));
    Child<QPushButton>(&dialog, "testButton")->click();
    icons.clear();
    const QStringList refused = ShownTexts(&icons);
    QVERIFY2(refused.size() == 1 && refused[0].contains("Authentication error"), qPrintable(refused.join("|")));
    QCOMPARE(icons.front(), MessageIcon::Exclamation);

    Combo(&dialog, "targetCombo")->setCurrentIndex(0);
    QCOMPARE(Edit(&dialog, "hostEdit")->text(), QStringLiteral("home.example.net"));
    Child<QPushButton>(&dialog, "okButton")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    AppSettings saved;
    zepa2::LoadSettings(saved, zepa2::SettingsFilePath(), [] {});
    QCOMPARE(saved, settings);
    QCOMPARE(saved.dnsTargets[0].kind, DnsKind::Dyndns2);
    QCOMPARE(saved.dnsTargets[0].pass, std::string("secret"));
    QCOMPARE(saved.dnsTargets[2].kind, DnsKind::Cloudflare);
    QCOMPARE(saved.dnsTargets[2].zone, std::string("example.org"));
  }

  // A target's pinned key is forgotten only after a Yes, and only that target's; a target without
  // one has nothing to forget.
  void forgettingAPinAsksAndTouchesOneTarget() {
    const std::string pin = "sha256//47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU=";
    AppSettings settings;
    for (const int i : {0, 1}) {
      settings.dnsTargets[static_cast<std::size_t>(i)].kind = DnsKind::Dyndns2;
      settings.dnsTargets[static_cast<std::size_t>(i)].pin = pin;
    }
    settings.dnsTargets[2].kind = DnsKind::Dyndns2;
    DnsSettingsDialog dialog(settings, "203.0.113.5");
    dialog.show();
    auto* forget = Child<QPushButton>(&dialog, "pinForgetButton");
    QVERIFY(forget->isVisible() && forget->isEnabled());
    MessageBoxSeam::QueueAnswer(MessageAnswer::No);
    forget->click();
    QCOMPARE(Edit(&dialog, "pinEdit")->text(), QString::fromStdString(pin));
    MessageBoxSeam::QueueAnswer(MessageAnswer::Yes);
    forget->click();
    QCOMPARE(ShownTexts().size(), 2);
    QVERIFY(Edit(&dialog, "pinEdit")->text().isEmpty() && !forget->isEnabled());
    Combo(&dialog, "targetCombo")->setCurrentIndex(2);
    QVERIFY(!forget->isEnabled());
    Combo(&dialog, "targetCombo")->setCurrentIndex(1);
    QVERIFY(forget->isEnabled());
    Child<QPushButton>(&dialog, "okButton")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(settings.dnsTargets[0].pin, std::string());
    QCOMPARE(settings.dnsTargets[1].pin, pin);
  }

  // A suffix that names no machine is refused on OK, on its own target, and nothing is saved; a
  // good one is kept.
  void suffixIsRefusedWhereItIsTyped() {
    AppSettings settings;
    settings.dnsTargets[0].kind = DnsKind::Dyndns2;
    settings.dnsTargets[3].kind = DnsKind::Cloudflare;
    DnsSettingsDialog dialog(settings, "203.0.113.5");
    dialog.show();
    QVERIFY(Edit(&dialog, "suffixEdit")->isVisible());
    Type(Edit(&dialog, "suffixEdit"), "::50:0:0:0:12/56");
    Combo(&dialog, "targetCombo")->setCurrentIndex(3);
    Type(Edit(&dialog, "suffixEdit"), "::");
    Combo(&dialog, "targetCombo")->setCurrentIndex(0);
    Child<QPushButton>(&dialog, "okButton")->click();
    QCOMPARE(ShownTexts(), QStringList{"「IPv6のID」のインターフェースIDがすべて0です。"});
    QVERIFY(dialog.isVisible());
    QCOMPARE(Combo(&dialog, "targetCombo")->currentIndex(), 3);
    QVERIFY(!std::filesystem::exists(zepa2::SettingsFilePath()));
    Type(Edit(&dialog, "suffixEdit"), "::1234:5678:9abc:def0");
    Child<QPushButton>(&dialog, "okButton")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(settings.dnsTargets[0].suffix, std::string("::50:0:0:0:12/56"));
    QCOMPARE(settings.dnsTargets[3].suffix, std::string("::1234:5678:9abc:def0"));
    std::filesystem::remove(zepa2::SettingsFilePath());
  }

  void noAddressYetAsksForOne() {
    AppSettings settings;
    settings.dnsTargets[0].kind = DnsKind::Url;
    DnsSettingsDialog dialog(settings, "");
    Child<QPushButton>(&dialog, "testButton")->click();
    QCOMPARE(ShownTexts(), QStringList{"先にグローバルＩＰを取得してください。"});
    MessageBoxSeam::QueueAnswer(MessageAnswer::Yes);
    dialog.reject();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!std::filesystem::exists(zepa2::SettingsFilePath()));
  }
};

QTEST_MAIN(DnsSettingsDialogTest)
#include "dns_settings_dialog_test.moc"
