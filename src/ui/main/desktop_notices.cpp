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
  QDBusMessage call =
      QDBusMessage::createMethodCall("org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                                     "org.freedesktop.Notifications", "Notify");
  // Normal urgency for failures too: a critical notice stays until read, and a router down
  // overnight would leave a pile of them.
  (void)failure;
  const QVariantMap hints{{"urgency", QVariant::fromValue<uchar>(1)},
                          {"desktop-entry", QStringLiteral("zepa2")}};
  call << QStringLiteral("ZEPA2") << 0u << QStringLiteral("zepa2") << title << body << QStringList() << hints
       << -1;
  bus_.call(call, QDBus::NoBlock);
}

std::optional<CheckNotice> CheckNotifier::Notify(int notifySetting, const CheckReport& report) {
  std::optional<CheckNotice> notice = sequence_.Next(notifySetting, report);
  if (!notice) return std::nullopt;
  NoticeChannel& channel = trayShown_ && trayShown_() ? tray_ : bus_;
  channel.Show(FromCp932(notice->title), FromCp932(notice->body), notice->failure);
  return notice;
}

}  // namespace zepa2::ui
