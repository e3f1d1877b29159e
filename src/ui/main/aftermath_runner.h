// Runs what follows the window's checks (status file, command after a publish) on a thread of its
// own, one after another, so that a slow command never holds the window up; the notices beyond the
// desktop (mail, webhook, heartbeat) go on a thread of their own beside it, so a slow command never
// holds them up either.
#pragma once

#include <QObject>
#include <QPointer>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

#include "core/notify/notice_sender.h"
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
  // Sends a run's heartbeat and notice beyond the desktop; returns at once.
  void Tell(NoticeJob job) { notices_.Send(std::move(job)); }
  // Whether work is queued or running.
  bool busy() const;

 private:
  struct Job {
    CheckReport report;
    AppSettings settings;
    std::filesystem::path statusFile;
  };
  void Loop();
  // A log sink that any thread may call: the line reaches appendLog on the window's thread.
  AppendLog QueuedLog() const;

  QPointer<QObject> window_;
  AppendLog appendLog_;
  StopToken stop_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> jobs_;
  bool working_ = false;
  NoticeSender notices_;
  std::thread thread_;
};

}  // namespace zepa2::ui
