// Telling the desktop how a check went: through the tray icon's balloon, or the notification service.
#pragma once

#include <QDBusConnection>
#include <QString>
#include <functional>
#include <string>

#include "core/outcome/check_notice.h"
#include "core/run/check_report.h"

class QSystemTrayIcon;

namespace zepa2::ui {

// One way of putting a notice on the desktop.
class NoticeChannel {
 public:
  virtual ~NoticeChannel() = default;
  virtual void Show(const QString& title, const QString& body, bool failure) = 0;
};

// The tray icon's own message; only seen while the icon is in the tray.
class TrayNoticeChannel : public NoticeChannel {
 public:
  explicit TrayNoticeChannel(QSystemTrayIcon* icon) : icon_(icon) {}
  void Show(const QString& title, const QString& body, bool failure) override;

 private:
  QSystemTrayIcon* icon_;
};

// org.freedesktop.Notifications on the session bus. The call is sent without waiting for an
// answer, so a missing or slow service never holds the window up.
class BusNoticeChannel : public NoticeChannel {
 public:
  explicit BusNoticeChannel(QDBusConnection bus = QDBusConnection::sessionBus()) : bus_(std::move(bus)) {}
  void Show(const QString& title, const QString& body, bool failure) override;

 private:
  QDBusConnection bus_;
};

// Sends the notice the Notify setting asks for (NoticeSequence): through the tray while its icon
// is shown, otherwise through the notification service.
class CheckNotifier {
 public:
  CheckNotifier(std::function<bool()> trayShown, NoticeChannel& tray, NoticeChannel& bus)
      : trayShown_(std::move(trayShown)), tray_(tray), bus_(bus) {}

  // Returns the notice that went out, for the channels beyond the desktop, or nothing.
  std::optional<CheckNotice> Notify(int notifySetting, const CheckReport& report);

 private:
  std::function<bool()> trayShown_;
  NoticeChannel& tray_;
  NoticeChannel& bus_;
  NoticeSequence sequence_;
};

}  // namespace zepa2::ui
