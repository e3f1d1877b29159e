// A stand-in desktop notification service for the exit benchmark: owns
// org.freedesktop.Notifications on the session bus and answers as a notification daemon does.
// With --tray it stands in for a desktop's tray host too (org.kde.StatusNotifierWatcher), so
// Qt puts the tray icon on the bus as a desktop session would; with --never-answer it takes
// notices and never answers them, as a hung daemon does.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <cstdio>

class NotificationService : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public slots:
  uint Notify(const QString&, uint, const QString&, const QString&, const QString&, const QStringList&,
              const QVariantMap&, int) {
    // A daemon that is busy (or hung) answers late or never: the caller must not wait for it.
    if (neverAnswers) setDelayedReply(true);
    std::printf("notified\n");
    std::fflush(stdout);
    return ++last_;
  }
  void CloseNotification(uint) {}
  QStringList GetCapabilities() { return {QStringLiteral("body"), QStringLiteral("actions")}; }
  QString GetServerInformation(QString& vendor, QString& version, QString& specVersion) {
    vendor = QStringLiteral("bench");
    version = QStringLiteral("1");
    specVersion = QStringLiteral("1.2");
    return QStringLiteral("bench-notifications");
  }

 public:
  bool neverAnswers = false;

 private:
  uint last_ = 0;
};

class StatusNotifierWatcher : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
  Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
  Q_PROPERTY(int ProtocolVersion READ protocolVersion)
  Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)

 public:
  bool hostRegistered() const { return true; }
  int protocolVersion() const { return 0; }
  QStringList items() const { return items_; }

 public slots:
  void RegisterStatusNotifierItem(const QString& service) { items_ << service; }
  void RegisterStatusNotifierHost(const QString&) {}

 private:
  QStringList items_;
};

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  NotificationService service;
  service.neverAnswers = app.arguments().contains(QStringLiteral("--never-answer"));
  StatusNotifierWatcher watcher;
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (app.arguments().contains(QStringLiteral("--tray")) &&
      (!bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                           QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties) ||
       !bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")))) {
    std::fprintf(stderr, "cannot own org.kde.StatusNotifierWatcher\n");
    return 1;
  }
  if (!bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                          QDBusConnection::ExportAllSlots) ||
      !bus.registerService(QStringLiteral("org.freedesktop.Notifications"))) {
    std::fprintf(stderr, "cannot own org.freedesktop.Notifications\n");
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  return app.exec();
}

#include "notification_service.moc"
