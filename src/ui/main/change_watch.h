// The window's side of the change listeners: their descriptors on the event loop, the merging of
// changes into one check, and a signal when that check is due.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/log/log_color.h"
#include "core/schedule/event_merger.h"
#include "core/settings/app_settings.h"
#include "core/source/change_listeners.h"

class QSocketNotifier;

namespace zepa2::ui {

class ChangeWatch : public QObject {
  Q_OBJECT

 public:
  struct Host {
    std::function<bool()> checkRunning;
    std::function<std::string()> publishedAddress;          // CP932
    std::function<void(const std::string&, LogColor)> log;  // CP932 lines
  };
  ChangeWatch(QObject* parent, Host host);
  ~ChangeWatch() override;

  // Listens as the settings ask; listeners already open for the same plan are kept.
  void Follow(const AppSettings& settings);
  // A check of any kind is starting: it covers the changes so far.
  void CheckStarting() { merger_.Clear(); }
  // A check ended: a change that came meanwhile gets its check now.
  void CheckEnded() { Poll(); }

 signals:
  // The merged changes' check is due; line (UTF-8) says what started it.
  void checkDue(const char* line);

 private:
  // Reads what arrived, does what is due and sets the timer for what comes next.
  void Poll();
  void WatchDescriptors();

  Host host_;
  std::unique_ptr<ChangeListeners> listeners_;
  std::vector<std::unique_ptr<QSocketNotifier>> notifiers_;
  EventMerger merger_;
  ChangeCause cause_ = ChangeCause::Network;
  QTimer due_;
};

}  // namespace zepa2::ui
