// Hiding into the tray and coming back, the icon's looks around a timed check, the two pop-up
// menus, the version box, and the minimized window where the desktop has no tray.
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "support/publish_support.h"
#include "support/qt_main_window.h"
#include "support/qt_modal.h"
#include "support/temp_dir.h"
#include "ui/common/message_box.h"
#include "ui/main/main_dialog.h"

using namespace zepa2;
using namespace zepa2::ui;

class TrayTest : public test::MainWindowTest {
  Q_OBJECT

 protected:
  void Prepare() override { test::UseRouterServer(settings_, test::RouterTestServer()); }

 private slots:
  void minimizeHidesIntoTheTrayAndAClickBringsItBack() {
    Open(true);
    dialog_->setWindowState(Qt::WindowMinimized);  // the title bar's minimize box
    QVERIFY(!dialog_->isVisible());
    QVERIFY(dialog_->tray().present());
    QCOMPARE(dialog_->tray().look(), TrayLook::Added);
    QCOMPARE(dialog_->tray().toolTip(), QStringLiteral("ZEPA2"));

    dialog_->OnTrayNotify(QSystemTrayIcon::Context);  // the icon shows its own menu
    dialog_->OnTrayNotify(QSystemTrayIcon::MiddleClick);
    QVERIFY(!dialog_->isVisible());

    dialog_->OnTrayNotify(QSystemTrayIcon::Trigger);
    QVERIFY(dialog_->isVisible());
    QVERIFY(!dialog_->isMinimized());
    QVERIFY(!dialog_->tray().present());
  }

  // Seen from the UI thread's event loop, as the desktop sees it: the running look stays for the
  // whole check, however long the router takes.
  void timedCheckWhileHiddenShowsTheRunningLookThenWaiting() {
    settings_.routerPage = "slow/500/status.htm";
    Open(true);
    dialog_->OnHideToTray();
    dialog_->SetSecondsToNextCheck(1);
    dialog_->OnTimer();
    const std::vector<TraySeen> seen = TraySeenWhileTheCheckRuns();
    QVERIFY(!dialog_->checkRunning());
    QVERIFY2(seen.size() > 1, "the event loop did not turn during the check");
    for (const TraySeen& turn : seen) {
      QCOMPARE(turn.look, TrayLook::Running);
      QCOMPARE(turn.tip, QStringLiteral("ZEPA2-実行中"));
      QVERIFY(turn.present);
    }
    QCOMPARE(dialog_->tray().look(), TrayLook::Waiting);
    QCOMPARE(dialog_->tray().toolTip(), QStringLiteral("ZEPA2-待機中"));
    QVERIFY(dialog_->tray().present());
    dialog_->UpdateTrayIcon(true);
    QCOMPARE(dialog_->tray().toolTip(), QStringLiteral("ZEPA2-実行中"));
  }

  void shownWindowAndRunsByHandLeaveTheTrayAlone() {
    settings_.routerPage = "slow/200/status.htm";
    Open(true);
    dialog_->SetSecondsToNextCheck(1);
    dialog_->OnTimer();
    for (const TraySeen& turn : TraySeenWhileTheCheckRuns()) {
      QVERIFY(!turn.present);
      QCOMPARE(turn.look, TrayLook::Added);
    }
    QVERIFY(!dialog_->tray().present());
    QCOMPARE(dialog_->tray().look(), TrayLook::Added);

    dialog_->OnHideToTray();
    Action(Menu("trayMenu"), "runNowAction")->trigger();
    const std::vector<TraySeen> seen = TraySeenWhileTheCheckRuns();
    QVERIFY(!seen.empty());
    for (const TraySeen& turn : seen) QCOMPARE(turn.look, TrayLook::Added);
    QVERIFY(test::LogTexts(*dialog_).contains(QStringLiteral("マニュアルで実行")));
    QCOMPARE(dialog_->tray().look(), TrayLook::Added);
    QCOMPARE(dialog_->tray().toolTip(), QStringLiteral("ZEPA2"));
  }

  void menusHoldTheirItemsInOrder_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QStringList>("settings");  // the settings opened from the menu
    QTest::newRow("window") << "windowMenu" << "最小化"
                            << QStringList{QStringLiteral("DNS設定"), QStringLiteral("通知設定")};
    QTest::newRow("tray") << "trayMenu" << "最大化" << QStringList{};
  }

  void menusHoldTheirItemsInOrder() {
    QFETCH(QString, menu);
    QFETCH(QString, first);
    QFETCH(QStringList, settings);
    Open(true);
    QStringList items;
    for (QAction* action : Menu(menu)->actions()) {
      items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    QCOMPARE(items, (QStringList{first, QStringLiteral("すぐに実行")} + settings +
                     QStringList{QStringLiteral("-"), QStringLiteral("終了"), QStringLiteral("-"),
                                 QStringLiteral("ZEPA2 のﾊﾞｰｼﾞｮﾝ情報(&A)...")}));
  }

  void settingsOpenFromTheWindowMenu_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("dialog");
    QTest::newRow("dns") << "dnsSettingsAction" << "dnsSettingsDialog";
    QTest::newRow("notify") << "notifySettingsAction" << "notifySettingsDialog";
  }

  void settingsOpenFromTheWindowMenu() {
    QFETCH(QString, action);
    QFETCH(QString, dialog);
    Open(true);
    QString opened;
    test::OnNextModalDialog([&](QDialog* box) {
      opened = box->objectName();
      box->done(QDialog::Rejected);
    });
    Action(Menu("windowMenu"), action.toLatin1().constData())->trigger();
    QTRY_COMPARE(opened, dialog);
  }

  void menuItemsHideRestoreAndQuit() {
    Open(true);
    QCOMPARE(dialog_->tray().icon()->contextMenu(), Menu("trayMenu"));
    Action(Menu("windowMenu"), "minimizeAction")->trigger();
    QVERIFY(dialog_->isVisible());  // posted: the menu closes first
    QTRY_VERIFY(!dialog_->isVisible());
    QVERIFY(dialog_->tray().present());
    Action(Menu("trayMenu"), "restoreAction")->trigger();
    QTRY_VERIFY(dialog_->isVisible());
    QVERIFY(!dialog_->tray().present());

    // "終了" from the tray ends the program with the icon gone.
    dialog_->OnHideToTray();
    QSignalSpy finished(dialog_.get(), &QDialog::finished);
    Action(Menu("trayMenu"), "exitAction")->trigger();
    QCOMPARE(finished.count(), 1);
    QCOMPARE(dialog_->result(), int{QDialog::Accepted});
    QVERIFY(!dialog_->tray().present());
  }

  void rightClickAndKeyboardOpenTheWindowMenu() {
    Open(true);
    QMenu* menu = Menu("windowMenu");
    const QPoint clicked = dialog_->mapToGlobal(QPoint(40, 300));
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(40, 300), clicked);
    QApplication::sendEvent(dialog_.get(), &click);
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(menu->pos(), clicked);
    menu->close();

    dialog_->findChild<QPushButton*>("clearLogButton")->setFocus();
    QTest::keyClick(dialog_.get(), Qt::Key_F10, Qt::ShiftModifier);
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(menu->pos(), dialog_->mapToGlobal(QPoint(5, 5)));
    menu->close();

    QTest::keyClick(dialog_.get(), Qt::Key_Menu);
    QTRY_VERIFY(menu->isVisible());
    menu->close();
  }

  void versionBoxFromBothMenus_data() {
    QTest::addColumn<QString>("menu");
    QTest::newRow("window") << "windowMenu";
    QTest::newRow("tray") << "trayMenu";
  }

  void versionBoxFromBothMenus() {
    QFETCH(QString, menu);
    Open(true);
    QString title, version;
    bool hasIcon = false;
    QWidget* parent = dialog_.get();
    test::OnNextModalDialog([&](QDialog* box) {
      title = box->windowTitle();
      version = box->findChild<QLabel*>("aboutVersion")->text();
      hasIcon = !box->findChild<QLabel*>("aboutIcon")->pixmap().isNull();
      parent = box->parentWidget();
      box->findChild<QPushButton*>("aboutOk")->click();
    });
    Action(Menu(menu), "aboutAction")->trigger();
    QCOMPARE(title, QStringLiteral("ZEPA2のﾊﾞｰｼﾞｮﾝ情報"));
    QCOMPARE(version, QStringLiteral("ZEPA2 Version 1.1"));
    QVERIFY(hasIcon);
    QCOMPARE(parent, nullptr);
    QVERIFY(dialog_->isVisible());
  }

  void startMinimizedHidesAfterFirstShowing() {
    settings_.startMinimized = 1;
    Open(true);
    QVERIFY(dialog_->isVisible());  // hidden only once the window has been shown
    QTRY_VERIFY(!dialog_->isVisible());
    QVERIFY(dialog_->tray().present());
  }

  void withoutATrayTheWindowIsMinimizedInstead() {
    settings_.startMinimized = 1;
    Open(false);
    QTRY_VERIFY(dialog_->isMinimized());
    QVERIFY(dialog_->isVisible());
    QVERIFY(!dialog_->tray().present());
    dialog_->showNormal();
    Action(Menu("windowMenu"), "minimizeAction")->trigger();
    QTRY_VERIFY(dialog_->isMinimized());
    QVERIFY(dialog_->isVisible());
    QVERIFY(!dialog_->tray().present());
    dialog_->SetSecondsToNextCheck(1);
    dialog_->OnTimer();  // a timed check then has no icon to switch
    QVERIFY(!dialog_->tray().present());
    QVERIFY(test::WaitForCheckEnd(*dialog_));
    QVERIFY(!dialog_->tray().present());
  }

 private:
  void Open(bool trayAvailable) {
    dialog_ = std::make_unique<MainDialog>(settings_, [](std::chrono::milliseconds) {});
    dialog_->SetTrayAvailability([trayAvailable] { return trayAvailable; });
    dialog_->show();
  }

  struct TraySeen {
    bool present;
    TrayLook look;
    QString tip;
  };

  // The icon at every turn of the event loop while the window's check runs, until it has ended.
  std::vector<TraySeen> TraySeenWhileTheCheckRuns() {
    std::vector<TraySeen> seen;
    QDeadlineTimer deadline(30000);
    while (dialog_->checkRunning() && !deadline.hasExpired()) {
      const TrayIcon& tray = dialog_->tray();
      seen.push_back({tray.present(), tray.look(), tray.toolTip()});
      QTest::qWait(10);
    }
    return seen;
  }

  QMenu* Menu(const QString& name) {
    auto* menu = dialog_->findChild<QMenu*>(name);
    if (!menu) qFatal("no menu %s", qPrintable(name));
    return menu;
  }

  static QAction* Action(QMenu* menu, const char* name) {
    for (QAction* action : menu->actions()) {
      if (action->objectName() == QLatin1String(name)) return action;
    }
    qFatal("no action %s", name);
  }

};

QTEST_MAIN(TrayTest)
#include "tray_test.moc"
