// The window maps libcurl and libcrypto on its first network step, not at start, and maps no image
// format plugin for its PNG pictures; the stand-ins it links forward to the real libraries.
#include <QtTest>
#include <fstream>
#include <memory>
#include <string>

#include "core/net/server_key.h"
#include "support/qt_main_window.h"
#include "ui/main/main_dialog.h"

using namespace zepa2;
using namespace zepa2::ui;

namespace {

bool Mapped(const std::string& part) {
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);) {
    if (line.find(part) != std::string::npos) return true;
  }
  return false;
}

}  // namespace

class NetworkOnDemandTest : public QObject {
  Q_OBJECT

 private slots:
  void TheShownWindowMapsNoNetworkLibraryNorImagePlugin() {
    test::MainWindowScope scope;
    AppSettings settings;
    MainDialog dialog(settings, [](std::chrono::milliseconds) {});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(!Mapped("libcurl.so"));
    QVERIFY(!Mapped("libcrypto.so"));
    QVERIFY(!Mapped("/imageformats/"));
  }

  // A pin made through the stand-in is the real SHA-256: sha256("abc") in base64.
  void TheFirstPinOpensLibcryptoAndHashesThroughIt() {
    QCOMPARE(QString::fromStdString(net::PinOfHostKey("abc")),
             QStringLiteral("sha256//ungWv48Bz+pBQUDeXa4iI7ADYaOWF3qctBD/YfIAFa0="));
    QVERIFY(Mapped("libcrypto.so"));
  }
};

QTEST_MAIN(NetworkOnDemandTest)
#include "network_on_demand_test.moc"
