#include "ui/main/splash_window.h"

#include "ui/main/main_icons.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QScreen>

#include "ui/main/resources.h"

namespace zepa2::ui {
namespace {

bool splashAllowed = false;
QPointer<SplashWindow> currentSplash;
QPointer<QWidget> splashOwner;

QRect ScreenArea(QWidget* owner) {
  QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect();
}

}  // namespace

SplashWindow::SplashWindow(QPixmap picture, QWidget* owner)
    : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      picture_(std::move(picture)) {
  setObjectName(QStringLiteral("splashWindow"));
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(picture_.deviceIndependentSize().toSize());
  // The main window is still hidden at start-up, so the screen is what we centre on.
  QRect area = ScreenArea(owner);
  if (area.isValid()) move(area.center() - rect().center());
  // A single-shot timer only fires once the event loop runs, which gives "two seconds, or when the
  // main window's loop starts if preparing it took longer".
  closeTimer_.setSingleShot(true);
  connect(&closeTimer_, &QTimer::timeout, this, &CloseSplash);
  closeTimer_.start(kSplashMilliseconds);
}

SplashWindow::~SplashWindow() = default;

void SplashWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, picture_);
}

void AllowSplash(bool allowed) { splashAllowed = allowed; }

void ShowSplash(QWidget* owner, const QString& picture) {
  if (!splashAllowed || currentSplash) return;
  EnsureResources();
  QPixmap pixmap = LoadPngPicture(picture);
  if (pixmap.isNull()) return;
  currentSplash = new SplashWindow(std::move(pixmap), owner);
  splashOwner = owner;
  currentSplash->show();
  currentSplash->repaint();
  // Let the window system map and draw it now: what follows may block for a while.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CloseSplash() {
  if (currentSplash) currentSplash->close();
  currentSplash = nullptr;
  if (splashOwner) splashOwner->repaint();
}

SplashWindow* CurrentSplash() { return currentSplash.data(); }

}  // namespace zepa2::ui
