// Notices after a check: which setting tells what, the tray's balloon while the icon is shown, the
// notification service otherwise (a real private session bus with a stand-in service).
#include <QDBusConnection>
#include <QProcess>
#include <QtTest>

#include "core/run/check_report.h"
#include "ui/main/desktop_notices.h"

using namespace zepa2;
using namespace zepa2::ui;

namespace {

struct Shown {
  QString title;
  QString body;
  bool failure;
};

class RecordingChannel : public NoticeChannel {
 public:
  void Show(const QString& title, const QString& body, bool failure) override {
    shown.push_back({title, body, failure});
  }
  std::vector<Shown> shown;
};

// Answers Notify the way a desktop's notification daemon does, keeping what it was told.
class StandInNotificationService : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public slots:
  uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
              const QString& body, const QStringList& actions, const QVariantMap& hints, int timeout) {
    Q_UNUSED(replacesId);
    Q_UNUSED(actions);
    Q_UNUSED(timeout);
    received.push_back({appName, appIcon, summary, body, hints.value("urgency").toInt()});
    return static_cast<uint>(received.size());
  }

 public:
  struct Call {
    QString appName, appIcon, summary, body;
    int urgency;
  };
  std::vector<Call> received;
};

CheckReport Report(CheckOutcome outcome) {
  CheckReport report;
  report.outcome = outcome;
  report.address = "192.0.2.9";
  SiteReport site;
  site.number = 1;
  site.server = "ftp.example.net";
  site.kind = outcome == CheckOutcome::Published ? SiteResultKind::Done : SiteResultKind::ConnectFailed;
  site.reason = outcome == CheckOutcome::Published ? "" : "Connection refused";
  report.sites = {site};
  return report;
}

}  // namespace

class DesktopNoticesTest : public QObject {
  Q_OBJECT

 private slots:
  void eachSettingGoesToTheTrayOrTheBus_data() {
    QTest::addColumn<int>("setting");
    QTest::addColumn<bool>("trayShown");
    QTest::addColumn<bool>("published");
    QTest::addColumn<int>("toTray");
    QTest::addColumn<int>("toBus");
    for (bool tray : {true, false}) {
      const char* where = tray ? "tray" : "no tray";
      const int t = tray ? 1 : 0, b = tray ? 0 : 1;
      QTest::addRow("0, publish, %s", where) << 0 << tray << true << 0 << 0;
      QTest::addRow("0, failure, %s", where) << 0 << tray << false << 0 << 0;
      QTest::addRow("1, publish, %s", where) << 1 << tray << true << 0 << 0;
      QTest::addRow("1, failure, %s", where) << 1 << tray << false << t << b;
      QTest::addRow("2, publish, %s", where) << 2 << tray << true << t << b;
      QTest::addRow("2, failure, %s", where) << 2 << tray << false << t << b;
    }
  }

  void eachSettingGoesToTheTrayOrTheBus() {
    QFETCH(int, setting);
    QFETCH(bool, trayShown);
    QFETCH(bool, published);
    QFETCH(int, toTray);
    QFETCH(int, toBus);
    RecordingChannel tray, bus;
    CheckNotifier notifier([&] { return trayShown; }, tray, bus);
    const CheckReport report = Report(published ? CheckOutcome::Published : CheckOutcome::PublishFailed);
    QCOMPARE(notifier.Notify(setting, report).has_value(), toTray + toBus == 1);
    QCOMPARE(static_cast<int>(tray.shown.size()), toTray);
    QCOMPARE(static_cast<int>(bus.shown.size()), toBus);
    for (const auto* channel : {&tray, &bus}) {
      for (const Shown& shown : channel->shown) {
        QCOMPARE(shown.failure, !published);
        QVERIFY2(shown.body.contains(published ? "192.0.2.9" : "接続失敗"), qPrintable(shown.body));
        QVERIFY2(!shown.body.contains("Connection refused"), qPrintable(shown.body));
      }
    }
  }

  // A failure is told when it begins or changes, not at every run it lasts; a good run after it
  // is told as a recovery, once.
  void aFailureIsToldOnceThenItsRecovery() {
    RecordingChannel tray, bus;
    CheckNotifier notifier([] { return true; }, tray, bus);
    CheckReport otherFailure = Report(CheckOutcome::PublishFailed);
    otherFailure.sites.front().kind = SiteResultKind::TimedOut;
    const struct {
      CheckReport report;
      bool told;
      const char* title;
    } runs[] = {
        {Report(CheckOutcome::PublishFailed), true, "ZEPA2: 公開に失敗しました"},
        {Report(CheckOutcome::PublishFailed), false, ""},
        {otherFailure, true, "ZEPA2: 公開に失敗しました"},
        {otherFailure, false, ""},
        {Report(CheckOutcome::Published), true, "ZEPA2: 復旧しました"},
        {Report(CheckOutcome::Published), false, ""},
        {Report(CheckOutcome::PublishFailed), true, "ZEPA2: 公開に失敗しました"},
    };
    size_t expected = 0;
    for (const auto& run : runs) {
      QCOMPARE(notifier.Notify(1, run.report).has_value(), run.told);
      if (run.told) {
        ++expected;
        QCOMPARE(tray.shown.size(), expected);
        QCOMPARE(tray.shown.back().title, QString::fromUtf8(run.title));
      }
    }
    QCOMPARE(tray.shown.size(), expected);
  }

  void busNoticeReachesTheNotificationService() {
    QProcess daemon;
    daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
    if (!daemon.waitForStarted(5000)) QSKIP("dbus-daemon is not installed");
    QVERIFY(daemon.waitForReadyRead(10000));
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();

    QDBusConnection serviceSide = QDBusConnection::connectToBus(address, "notification-service");
    StandInNotificationService service;
    QVERIFY(serviceSide.registerObject("/org/freedesktop/Notifications", &service,
                                       QDBusConnection::ExportAllSlots));
    QVERIFY(serviceSide.registerService("org.freedesktop.Notifications"));

    RecordingChannel tray;
    BusNoticeChannel bus(QDBusConnection::connectToBus(address, "zepa2-side"));
    CheckNotifier notifier([] { return false; }, tray, bus);
    QVERIFY(notifier.Notify(1, Report(CheckOutcome::PublishFailed)));
    QTRY_COMPARE(service.received.size(), size_t{1});
    const auto& call = service.received.front();
    QCOMPARE(call.appName, QStringLiteral("ZEPA2"));
    QCOMPARE(call.appIcon, QStringLiteral("zepa2"));
    QCOMPARE(call.summary, QStringLiteral("ZEPA2: 公開に失敗しました"));
    QVERIFY(call.body.contains("ftp.example.net"));
    QCOMPARE(call.urgency, 1);  // normal: a failure notice must not stay until read
    QVERIFY(tray.shown.empty());

    QDBusConnection::disconnectFromBus("zepa2-side");
    QDBusConnection::disconnectFromBus("notification-service");
    daemon.kill();
    daemon.waitForFinished();
  }

  void noBusIsNoHarm() {
    BusNoticeChannel bus(QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), "nowhere"));
    bus.Show("title", "body", true);  // returns at once; nothing to see
  }
};

QTEST_MAIN(DesktopNoticesTest)
#include "desktop_notices_test.moc"
