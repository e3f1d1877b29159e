// What follows a check runs beside the window: its log lines reach the UI thread in order, and a
// command that hangs dies with the window.
#include <QThread>
#include <QtTest>
#include <fstream>
#include <memory>

#include "core/text/cp932.h"
#include "support/temp_dir.h"
#include "ui/main/aftermath_runner.h"

using namespace zepa2;
using namespace zepa2::ui;

namespace {

CheckReport Published() {
  CheckReport report;
  report.outcome = CheckOutcome::Published;
  report.address = "192.0.2.11";
  report.checkedAt = 1'700'000'000;
  return report;
}

AppSettings Running(const std::string& command) {
  AppSettings settings;
  settings.onPublish = Cp932(command);
  return settings;
}

bool ProcessGone(const QString& pid) {
  std::ifstream stat("/proc/" + pid.toStdString() + "/stat");
  std::string pidText, name, state;
  return !(stat >> pidText >> name >> state) || state == "Z";
}

}  // namespace

class AftermathRunnerTest : public QObject {
  Q_OBJECT

 private slots:
  void linesArriveOnTheUiThreadWhileTheWindowGoesOn() {
    test::TempDir dir;
    QStringList lines;
    bool allOnUiThread = true;
    QObject window;
    AftermathRunner runner(&window, [&](const std::string& text, LogColor) {
      allOnUiThread = allOnUiThread && QThread::currentThread() == qApp->thread();
      lines << QString::fromStdString(Cp932ToUtf8(text));
    });
    runner.Run(Published(), Running("sleep 0.5; echo \"$ZEPA2_ADDRESS\" >&2; exit 4"), dir / "ZEPA" / "last-run.json");
    QVERIFY(runner.busy());  // Run handed the work over and returned
    QTRY_COMPARE_WITH_TIMEOUT(lines.size(), 3, 20000);
    QVERIFY(allOnUiThread);
    QCOMPARE(lines[0], QStringLiteral("公開後のコマンドを実行します"));
    QCOMPARE(lines[1], QStringLiteral("公開後のコマンドが終了しました（終了コード 4）"));
    QCOMPARE(lines[2], QStringLiteral("公開後のコマンドのエラー出力：192.0.2.11"));
    QVERIFY(std::filesystem::exists(dir / "ZEPA" / "last-run.json"));
    QTRY_VERIFY(!runner.busy());
  }

  void aHangingCommandDiesWithTheWindow() {
    test::TempDir dir;
    const auto pidFile = dir / "pid";
    test::ScopedEnv out("PID_FILE", pidFile.string());
    QObject window;
    auto runner = std::make_unique<AftermathRunner>(&window, [](const std::string&, LogColor) {});
    runner->Run(Published(), Running("sleep 120 & echo $! > \"$PID_FILE\"; wait"), dir / "last-run.json");
    QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(pidFile) && !test::ReadFile(pidFile).empty(), 20000);
    runner.reset();  // the window closes
    const QString pid = QString::fromStdString(test::ReadFile(pidFile)).trimmed();
    QTRY_VERIFY(ProcessGone(pid));
  }
};

QTEST_MAIN(AftermathRunnerTest)
#include "aftermath_runner_test.moc"
