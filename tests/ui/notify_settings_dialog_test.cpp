#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <fstream>
#include <memory>

#include "core/settings/settings_store.h"
#include "support/fixture_process.h"
#include "support/qt_widgets.h"
#include "support/temp_dir.h"
#include "ui/common/message_box.h"
#include "ui/settings/notify_settings_dialog.h"

using zepa2::AppSettings;
using zepa2::WebhookKind;
using zepa2::test::Child;
using zepa2::test::Edit;
using zepa2::test::ShownTexts;
using zepa2::ui::MessageBoxSeam;
using zepa2::ui::MessageIcon;
using zepa2::ui::NotifySettingsDialog;

namespace {

void Type(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  edit->insert(text);
}

int Lines(const std::filesystem::path& file) {
  std::ifstream in(file);
  int n = 0;
  for (std::string line; std::getline(in, line);) ++n;
  return n;
}

}  // namespace

class NotifySettingsDialogTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<zepa2::test::TempDir> dir_;
  std::unique_ptr<zepa2::test::ScopedEnv> xdg_;

 private slots:
  void initTestCase() {
    dir_ = std::make_unique<zepa2::test::TempDir>();
    xdg_ = std::make_unique<zepa2::test::ScopedEnv>("XDG_CONFIG_HOME", dir_->path().string());
    MessageBoxSeam::Intercept(true);
  }

  void cleanupTestCase() { MessageBoxSeam::Intercept(false); }

  // The controls show the record; a value the rules refuse keeps the dialog open and saves nothing;
  // テスト sends through the edited settings before they are saved; 設定 saves them.
  void showTestRefuseAndSave() {
    const std::filesystem::path record = *dir_ / "hook";
    zepa2::test::FixtureProcess receiver("notify_server.py", {record.string()});
    AppSettings settings;
    settings.notifyChannels.mailTo = "me@example.net";
    NotifySettingsDialog dialog(settings);
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("通知設定"));
    QCOMPARE(Edit(&dialog, "mailToEdit")->text(), QStringLiteral("me@example.net"));
    QVERIFY(Child<QCheckBox>(&dialog, "mailTlsCheck")->isChecked());
    QCOMPARE(Child<QComboBox>(&dialog, "webhookKindCombo")->count(), 4);

    Type(Edit(&dialog, "webhookUrlEdit"), "discord.example.net/hook");
    Child<QPushButton>(&dialog, "okButton")->click();
    QStringList shown = ShownTexts();
    QVERIFY2(shown.size() == 1 && shown[0].contains("http:// または https://"), qPrintable(shown.join("|")));
    QVERIFY(dialog.isVisible());
    QVERIFY(!std::filesystem::exists(zepa2::SettingsFilePath()));

    Type(Edit(&dialog, "webhookUrlEdit"), "http://" + QString::fromStdString(receiver.hostPort()) + "/hook");
    Child<QComboBox>(&dialog, "webhookKindCombo")->setCurrentIndex(static_cast<int>(WebhookKind::Slack));
    Child<QPushButton>(&dialog, "webhookTestButton")->click();
    std::vector<MessageIcon> icons;
    shown = ShownTexts(&icons);
    QVERIFY2(shown.size() == 1 && shown[0] == QStringLiteral("Webhookで通知しました"), qPrintable(shown.join("|")));
    QCOMPARE(icons.front(), MessageIcon::Information);
    QCOMPARE(Lines(record), 1);

    Child<QPushButton>(&dialog, "pingTestButton")->click();  // no ping URL: nothing to send
    QCOMPARE(Lines(record), 1);
    QVERIFY(ShownTexts().isEmpty());

    Child<QPushButton>(&dialog, "okButton")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    AppSettings saved;
    zepa2::LoadSettings(saved, zepa2::SettingsFilePath(), [] {});
    QCOMPARE(saved, settings);
    QCOMPARE(saved.notifyChannels.webhookKind, WebhookKind::Slack);
    QCOMPARE(saved.notifyChannels.mailTo, std::string("me@example.net"));
  }
};

QTEST_MAIN(NotifySettingsDialogTest)
#include "notify_settings_dialog_test.moc"
