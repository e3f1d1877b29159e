// The program's icon in the notification area while the main window is hidden, with its looks.
#pragma once

#include <QObject>
#include <QString>
#include <QSystemTrayIcon>

class QMenu;

namespace zepa2::ui {

// Just added (tip "ZEPA2"), waiting after a timed check, or running one.
enum class TrayLook { Added, Waiting, Running };

class TrayIcon {
 public:
  // menu is offered on a right click; parent owns the underlying icon.
  TrayIcon(QObject* parent, QMenu* menu);

  // Puts the icon into the tray in its just-added look.
  void Add();
  // Changes the look of an icon that is in the tray; nothing when there is none.
  void SetRunning(bool running);
  void Remove();

  bool present() const { return icon_->isVisible(); }
  TrayLook look() const { return look_; }
  QString toolTip() const { return icon_->toolTip(); }
  QSystemTrayIcon* icon() const { return icon_; }

 private:
  void Show(TrayLook look);

  QSystemTrayIcon* icon_;
  TrayLook look_ = TrayLook::Added;
};

}  // namespace zepa2::ui
