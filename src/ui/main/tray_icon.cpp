#include "ui/main/tray_icon.h"

#include "core/text/messages.h"
#include "ui/main/main_icons.h"

namespace zepa2::ui {

TrayIcon::TrayIcon(QObject* parent, QMenu* menu) : icon_(new QSystemTrayIcon(parent)) {
  icon_->setObjectName(QStringLiteral("trayIcon"));
  icon_->setContextMenu(menu);
}

void TrayIcon::Add() {
  Show(TrayLook::Added);
  icon_->show();
}

void TrayIcon::SetRunning(bool running) {
  if (present()) Show(running ? TrayLook::Running : TrayLook::Waiting);
}

void TrayIcon::Remove() { icon_->hide(); }

void TrayIcon::Show(TrayLook look) {
  look_ = look;
  icon_->setIcon(look == TrayLook::Running ? RunningIcon() : AppIcon());
  const char* tip = look == TrayLook::Added     ? msg::kProductName
                    : look == TrayLook::Running ? msg::kTrayRunning
                                                : msg::kTrayWaiting;
  icon_->setToolTip(QString::fromUtf8(tip));
}

}  // namespace zepa2::ui
