// The start-up picture: when it appears, its size and place, and that only one exists.
#include <QGuiApplication>
#include <QScreen>
#include <QtTest>

#include "ui/main/splash_window.h"

using namespace zepa2::ui;

class SplashWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() {
    CloseSplash();
    AllowSplash(false);
  }

  void showsTheBorderlessPictureCentredOnTheScreen() {
    QWidget owner;
    AllowSplash(true);
    ShowSplash(&owner);
    SplashWindow* splash = CurrentSplash();
    QVERIFY(splash);
    QVERIFY(splash->isVisible());
    QCOMPARE(splash->size(), QSize(540, 90));
    QVERIFY(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY((splash->geometry().center() - area.center()).manhattanLength() <= 2);
  }

  void secondShowWhileUpChangesNothing() {
    QWidget owner;
    AllowSplash(true);
    ShowSplash(&owner);
    SplashWindow* first = CurrentSplash();
    ShowSplash(&owner);
    QCOMPARE(CurrentSplash(), first);
    QCOMPARE(owner.findChildren<SplashWindow*>().size(), 1);
    CloseSplash();
    QVERIFY(!CurrentSplash());
  }

  void nothingWhenNotAllowedOrWithoutAPicture() {
    QWidget owner;
    ShowSplash(&owner);  // start-up never allowed it
    QVERIFY(!CurrentSplash());
    AllowSplash(true);
    ShowSplash(&owner, QStringLiteral(":/no-such-picture.png"));
    QVERIFY(!CurrentSplash());
    QVERIFY(owner.findChildren<SplashWindow*>().isEmpty());
  }
};

QTEST_MAIN(SplashWindowTest)
#include "splash_window_test.moc"
