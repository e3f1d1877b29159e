#include "support/qt_main_window.h"

#include <QDeadlineTimer>
#include <QtTest>
#include <algorithm>

#include "core/net/http_get.h"
#include "core/text/cp932.h"
#include "support/fixture_process.h"
#include "ui/common/message_box.h"
#include "ui/main/activity_log.h"
#include "ui/main/main_dialog.h"

namespace zepa2::test {
namespace {

const ui::ActivityLog& Log(const ui::MainDialog& dialog) {
  return *dialog.findChild<ui::ActivityLog*>(QStringLiteral("logList"));
}

}  // namespace

MainWindowScope::MainWindowScope() { ui::MessageBoxSeam::Intercept(true); }
MainWindowScope::~MainWindowScope() { ui::MessageBoxSeam::Intercept(false); }

MainWindowTest::~MainWindowTest() = default;

void MainWindowTest::init() {
  scope_ = std::make_unique<MainWindowScope>();
  settings_ = AppSettings{};
  Prepare();
}

void MainWindowTest::cleanup() {
  dialog_.reset();
  Finish();
  scope_.reset();
}

ui::MainDialog& MainWindowTest::CreateWindow() {
  dialog_ = std::make_unique<ui::MainDialog>(settings_, [](std::chrono::milliseconds) {});
  return *dialog_;
}

QStringList LogTexts(const ui::MainDialog& dialog) { return LogTextsFrom(dialog, 0); }

QStringList LogTextsFrom(const ui::MainDialog& dialog, int from) {
  const ui::ActivityLog& log = Log(dialog);
  QStringList texts;
  for (int i = from; i < log.count(); ++i) {
    const QString line = log.item(i)->text();
    texts << line.mid(line.indexOf(QStringLiteral("::")) + 2);
  }
  return texts;
}

int LogCount(const ui::MainDialog& dialog) { return Log(dialog).count(); }

bool WaitForCheckEnd(const ui::MainDialog& dialog, int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  while (dialog.checkRunning() && !deadline.hasExpired()) QTest::qWait(5);
  return !dialog.checkRunning();
}

std::string RouterTestServer() {
  static FixtureProcess server("router_server.py");
  return server.hostPort();
}

int RouterRequestCount(const std::string& hostPort, const std::string& path) {
  const auto server = net::ParseServerAddress(hostPort, 80);
  if (!server) qFatal("bad router server %s", hostPort.c_str());
  const net::HttpGetResult log = net::HttpGet(*server, "log", std::nullopt);
  if (log.kind != net::HttpGetKind::Ok) qFatal("router log unreadable: %s", log.outcome.reason.c_str());
  const QStringList lines = QString::fromLatin1(log.body).split(u'\n');
  const QString asked = QString::fromStdString(path) + u' ';
  return static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                        [&](const QString& line) { return line.startsWith(asked); }));
}

void UseRouterServer(AppSettings& settings, const std::string& hostPort) {
  settings.routerServer = hostPort;
  settings.routerPage = "status.htm";
  settings.filter1 = Cp932("WAN側IPアドレス");
  settings.filter2 = "</tr>";
  settings.filter3 = "<td>";
  settings.filter4 = "</td>";
}

QStringList FetchAndFindLines(const std::string& hostPort) {
  const QString server = QString::fromStdString(hostPort);
  return {server + QStringLiteral("サーバ接続開始"), server + QStringLiteral(":サーバ接続成功"),
          server + QStringLiteral(":サーバを切断"), QStringLiteral("IPアドレス検索開始"),
          QStringLiteral("IPアドレス取得成功"),
          QStringLiteral("注意：このアドレスは公開アドレスではありません（プライベートアドレス）。"
                         "外から届かない可能性があります。")};
}

}  // namespace zepa2::test
