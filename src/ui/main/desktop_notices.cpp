#include "ui/main/desktop_notices.h"

#include <QDBusMessage>
#include <QSystemTrayIcon>
#include <QVariantMap>

#include "core/outcome/check_notice.h"
#include "ui/common/cp932_text.h"

namespace zepa2::ui {
namespace {

constexpr int kTrayMessageMilliseconds = 10'000;

}  // namespace

void TrayNoticeChannel::Show(const QString& title, const QString& body, bool failure) {
  icon_->showMessage(title, body, failure ? QSystemTrayIcon::Warning : QSystemTrayIcon::Information,
                     kTrayMessageMilliseconds);
}

void BusNoticeChannel::Show(const QString& title, const QString& body, bool failure) {
  if (!bus_.isConnected()) return;
  QDBusMessage call = QDBusMessage::createMethodCall(
      "org.freedesktop.Notifications", "/org/freedesktop/Notifications",
      "org.freedesktop.Notifications", "Notify");
  // urgency: 1 normal, 2 critical (stays until read).
  const QVariantMap hints{{"urgency", QVariant::fromValue<uchar>(failure ? 2 : 1)},
                          {"desktop-entry", QStringLiteral("zepa2")}};
  call << QStringLiteral("ZEPA2") << 0u << QStringLiteral("zepa2") << title << body << QStringList()
       << hints << -1;
  bus_.call(call, QDBus::NoBlock);
}

bool CheckNotifier::Notify(int notifySetting, const CheckReport& report) {
  const std::optional<CheckNotice> notice = NoticeForCheck(notifySetting, report);
  if (!notice) return false;
  NoticeChannel& channel = trayShown_ && trayShown_() ? tray_ : bus_;
  channel.Show(FromCp932(notice->title), FromCp932(notice->body), notice->failure);
  return true;
}

}  // namespace zepa2::ui
