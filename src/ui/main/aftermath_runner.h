// Runs what follows the window's checks (status file, command after a publish) on a thread of its
// own, one after another, so that a slow command never holds the window up.
#pragma once

#include <QObject>
#include <QPointer>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

#include "core/outcome/check_aftermath.h"
#include "core/sys/stop_token.h"

namespace zepa2::ui {

class AftermathRunner {
 public:
  using AppendLog = std::function<void(const std::string& text, LogColor color)>;

  // appendLog is called on window's (the UI) thread for every line; window outlives the runner or
  // the lines are dropped.
  AftermathRunner(QObject* window, AppendLog appendLog);
  // Kills a running command and waits for the thread; queued work that has not started is dropped.
  ~AftermathRunner();
  AftermathRunner(const AftermathRunner&) = delete;
  AftermathRunner& operator=(const AftermathRunner&) = delete;

  // The report of a run and the settings it ran with.
  void Run(CheckReport report, AppSettings settings, std::filesystem::path statusFile);
  // Whether work is queued or running.
  bool busy() const;

 private:
  struct Job {
    CheckReport report;
    AppSettings settings;
    std::filesystem::path statusFile;
  };
  void Loop();

  QPointer<QObject> window_;
  AppendLog appendLog_;
  StopToken stop_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> jobs_;
  bool working_ = false;
  std::thread thread_;
};

}  // namespace zepa2::ui
