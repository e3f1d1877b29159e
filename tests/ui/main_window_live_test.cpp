// The main window while its check waits on a slow or mute router: the event loop keeps running,
// lines arrive as they come, and quitting ends the window without waiting for the router or
// telling the desktop of a failure.
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "support/qt_main_window.h"
#include "ui/main/activity_log.h"
#include "ui/main/main_dialog.h"

using namespace zepa2;
using namespace zepa2::ui;

namespace {

constexpr int kSlowRouterMs = 3000;
constexpr int kTickMs = 50;
// A frozen loop ticks at most once in the whole check; a live one about kSlowRouterMs / kTickMs
// times. A quarter of that leaves room for a busy machine.
constexpr int kLeastTicks = kSlowRouterMs / kTickMs / 4;
// Well below the router fetch's own 30 s deadline: only the stop request can end it sooner.
constexpr int kQuitTimeoutMs = 20000;

void NoPause(std::chrono::milliseconds) {}

}  // namespace

class MainWindowLiveTest : public test::MainWindowTest {
  Q_OBJECT

 protected:
  void Prepare() override { test::UseRouterServer(settings_, test::RouterTestServer()); }

 private slots:
  void slowRouterLeavesTheEventLoopRunningAndLinesArriving() {
    settings_.routerPage = "slow/" + std::to_string(kSlowRouterMs) + "/status.htm";
    Open();
    int ticksAfterFirstLine = -1;
    QTimer ticker;
    ticker.setInterval(kTickMs);
    connect(&ticker, &QTimer::timeout, this, [&] {
      if (dialog_->checkRunning() && ticksAfterFirstLine >= 0) ++ticksAfterFirstLine;
    });
    const int before = test::LogCount(*dialog_);
    // Counting starts when the check's first line is in the log, before the router has answered.
    connect(Log()->model(), &QAbstractItemModel::rowsInserted, this, [&] {
      if (ticksAfterFirstLine < 0 && test::LogCount(*dialog_) > before + 1) ticksAfterFirstLine = 0;
    });
    ticker.start();
    dialog_->accept();
    QVERIFY(dialog_->checkRunning());
    QTest::qWait(kTickMs);
    Find<QPushButton>("getZepaButton")->click();  // ignored: one check at a time
    QVERIFY(test::WaitForCheckEnd(*dialog_));

    QVERIFY2(ticksAfterFirstLine >= kLeastTicks, qPrintable(QString::number(ticksAfterFirstLine)));
    QCOMPARE(dialog_->lastReport().address, std::string("10.0.0.1"));
    const QStringList lines = test::LogTextsFrom(*dialog_, before);
    QCOMPARE(lines.count(QStringLiteral("マニュアルで実行")), 1);
    QVERIFY(lines.contains(QStringLiteral("IPアドレス取得成功")));
  }

  void quitDuringAMuteRouterEndsTheWindow_data() {
    QTest::addColumn<bool>("escape");
    QTest::newRow("Esc") << true;
    QTest::newRow("終了") << false;
  }

  void quitDuringAMuteRouterEndsTheWindow() {
    QFETCH(bool, escape);
    settings_.routerPage = "hang.htm";
    const std::string router = test::RouterTestServer();
    const int askedBefore = test::RouterRequestCount(router, "hang.htm");
    Open();
    test::RecordingNoticeChannel tray, bus;
    dialog_->SetNoticeChannels(tray, bus);
    QSignalSpy finished(dialog_.get(), &QDialog::finished);
    dialog_->accept();
    QTRY_VERIFY(test::RouterRequestCount(router, "hang.htm") > askedBefore);
    const int before = test::LogCount(*dialog_);

    if (escape) {
      QTest::keyClick(dialog_.get(), Qt::Key_Escape);
    } else {
      Find<QPushButton>("quitButton")->click();
    }
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kQuitTimeoutMs);
    QCOMPARE(dialog_->result(), int{QDialog::Accepted});
    QVERIFY(!dialog_->checkRunning());
    QCOMPARE(dialog_->lastReport().outcome, CheckOutcome::AddressNotFound);
    QVERIFY(dialog_->lastAddress().empty());
    for (const QString& line : test::LogTextsFrom(*dialog_, before)) {
      QVERIFY2(!line.contains(QStringLiteral("成功")), qPrintable(line));
    }
    // The user stopped the run by quitting: no failure notice is left behind on the desktop.
    QCOMPARE(tray.shown + bus.shown, QStringList());
  }

 private:
  void Open() {
    dialog_ = std::make_unique<MainDialog>(settings_, &NoPause);
    dialog_->show();
  }

  template <typename W>
  W* Find(const char* name) {
    return test::FindChild<W>(*dialog_, name);
  }

  ActivityLog* Log() { return Find<ActivityLog>("logList"); }

};

QTEST_MAIN(MainWindowLiveTest)
#include "main_window_live_test.moc"
