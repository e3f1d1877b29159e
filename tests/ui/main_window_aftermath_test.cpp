// What follows the window's checks: the notice (recorded through the seam), the log file, the
// status file and the command after publishing; and the "通知" choice.
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QtTest>
#include <memory>
#include <nlohmann/json.hpp>

#include "core/settings/settings_store.h"
#include "support/publish_support.h"
#include "support/qt_main_window.h"
#include "support/qt_modal.h"
#include "support/temp_dir.h"
#include "ui/main/main_dialog.h"

using namespace zepa2;
using namespace zepa2::ui;

namespace {

using RecordingChannel = test::RecordingNoticeChannel;

}  // namespace

class MainWindowAftermathTest : public test::MainWindowTest {
  Q_OBJECT

 protected:
  void Prepare() override {
    ftp_ = std::make_unique<test::FtpTestServer>();
    test::UseRouterServer(settings_, test::RouterTestServer());
    test::WriteFile(scope_->dir() / "site.tpl", "<p>$$IP_ADDRESS$$</p>\n");
    for (int i = 0; i < 2; ++i) {
      settings_.sites[i] = {ftp_->server(), test::FtpTestServer::kUser, test::FtpTestServer::kPassword,
                            "index.html", (scope_->dir() / "site.tpl").string()};
    }
    settings_.sites[1].pass = "wrong";
    settings_.siteCount = 2;
    settings_.onPublish = "echo \"$ZEPA2_RESULT|$ZEPA2_ADDRESS|$ZEPA2_FAILED_SITES\" > " + Hook().string();
    CreateWindow().SetNoticeChannels(tray_, bus_);
    dialog_->SetTrayAvailability([] { return true; });
    dialog_->show();
  }
  void Finish() override {
    ftp_.reset();
    tray_.shown.clear();
    bus_.shown.clear();
  }

 private slots:
  void failedSiteIsToldKeptAndHandedToTheCommand() {
    RunByHand();
    // The window shows no tray icon while it is open: the desktop's service gets the notice.
    QCOMPARE(tray_.shown.size(), 0);
    QCOMPARE(bus_.shown.size(), 1);
    QVERIFY2(bus_.shown[0].startsWith(QStringLiteral("ZEPA2: 公開に失敗しました|新しいアドレス：10.0.0.1\nサイト：2（")),
             qPrintable(bus_.shown[0]));

    QTRY_VERIFY(!dialog_->aftermathBusy());
    QCOMPARE(QString::fromStdString(test::ReadFile(Hook())), QStringLiteral("partial|10.0.0.1|2\n"));
    const auto run = nlohmann::json::parse(test::ReadFile(State() / "last-run.json"));
    QCOMPARE(run["outcome"], "partly-published");
    QCOMPARE(run["sites"][1]["result"], "connect-failed");

    // The log file holds what the list shows, the command's lines too, and never a password.
    QTRY_VERIFY(test::LogTexts(*dialog_).contains(QStringLiteral("公開後のコマンドが終了しました（終了コード 0）")));
    const QString log = QString::fromStdString(test::ReadFile(State() / "zepa2.log"));
    for (const QString& line : test::LogTexts(*dialog_)) QVERIFY2(log.contains("::" + line + "\n"), qPrintable(line));
    QVERIFY(!log.contains(QStringLiteral("wrong")));
    QVERIFY(!log.contains(QStringLiteral("secret")));
  }

  void hiddenInTheTrayTheIconTellsEveryPublish() {
    settings_.sites[1].pass = test::FtpTestServer::kPassword;
    settings_.notify = 2;
    dialog_->OnHideToTray();
    QVERIFY(dialog_->tray().present());
    RunByHand();
    QCOMPARE(bus_.shown.size(), 0);
    QCOMPARE(tray_.shown, QStringList{QStringLiteral("ZEPA2: IPアドレスを公開しました|新しいアドレス：10.0.0.1")});
  }

  void conversionTestTellsNothingAndKeepsNoStatus() {
    settings_.siteCount = 1;
    test::OnNextModalDialog([](QDialog* view) { view->reject(); });  // the page view of site 1
    dialog_->OnConversionTest();
    QVERIFY(test::WaitForCheckEnd(*dialog_));
    QCOMPARE(tray_.shown.size() + bus_.shown.size(), 0);
    QVERIFY(!dialog_->aftermathBusy());  // nothing was handed over to run beside the window
    QVERIFY(!std::filesystem::exists(State() / "last-run.json"));
    QVERIFY(!std::filesystem::exists(Hook()));
  }

  void notifyChoiceIsSavedAndTakesNoControlsPlace() {
    auto* combo = test::FindChild<QComboBox>(*dialog_, "notifyCombo");
    QCOMPARE(combo->currentIndex(), 1);  // failures only, the default
    QCOMPARE(combo->count(), 3);
    combo->setCurrentIndex(2);
    emit combo->activated(2);
    QCOMPARE(settings_.notify, 2);
    AppSettings stored;
    LoadSettings(stored, SettingsFilePath(), [] {});
    QCOMPARE(stored.notify, 2);

    const QRect place = combo->geometry();
    QVERIFY(dialog_->rect().contains(place));
    for (QWidget* other : dialog_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (other == combo || !other->isVisible()) continue;
      QVERIFY2(!other->geometry().intersects(place), qPrintable(other->objectName()));
    }
  }

 private:
  std::filesystem::path State() const { return scope_->dir() / "state" / "ZEPA"; }
  std::filesystem::path Hook() const { return scope_->dir() / "hook.out"; }

  void RunByHand() {
    test::FindChild<QPushButton>(*dialog_, "getZepaButton")->click();
    QVERIFY(test::WaitForCheckEnd(*dialog_));
  }

  std::unique_ptr<test::FtpTestServer> ftp_;
  RecordingChannel tray_, bus_;
};

QTEST_MAIN(MainWindowAftermathTest)
#include "main_window_aftermath_test.moc"
