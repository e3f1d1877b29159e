// The start-up picture: a borderless window centred on the screen while the main window prepares.
#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>

namespace zepa2::ui {

inline constexpr int kSplashMilliseconds = 2000;
inline const char kSplashPicture[] = ":/splash138.png";

class SplashWindow : public QWidget {
  Q_OBJECT

 public:
  SplashWindow(QPixmap picture, QWidget* owner);
  ~SplashWindow() override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap picture_;
  QTimer closeTimer_;
};

// Start-up decides once whether a splash may appear at all.
void AllowSplash(bool allowed);
// Shows the splash unless it is not allowed, one is already up, or the picture cannot be loaded
// (then nothing is shown and nothing is said). The window is painted before this returns.
void ShowSplash(QWidget* owner, const QString& picture = QString::fromLatin1(kSplashPicture));
// Closes the splash, if any, and repaints the main window at once.
void CloseSplash();
// The splash now on screen, or nullptr.
SplashWindow* CurrentSplash();

}  // namespace zepa2::ui
