// Runs the window's address checks on a worker thread and carries what they ask of the window to
// the UI thread, so the window keeps drawing and answering while a server makes a check wait.
#pragma once

#include <QObject>
#include <QPointer>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "core/run/check_host.h"
#include "core/run/check_report.h"
#include "core/sys/pause.h"
#include "core/sys/stop_token.h"

namespace zepa2::ui {

class CheckWorker : public CheckHost {
 public:
  // What a check needs of the window; each is called on the UI thread.
  struct WindowSide {
    std::function<void(const std::string&, LogColor)> appendLog;
    std::function<bool(const std::filesystem::path&)> showPage;
    std::function<void(const CheckReport&)> finished;
  };

  // window lives on the UI thread and outlives the worker. pause replaces the real (stoppable)
  // pauses when given: tests pass one that returns at once.
  CheckWorker(QObject* window, WindowSide side, PauseFunction pause);
  ~CheckWorker() override;
  CheckWorker(const CheckWorker&) = delete;
  CheckWorker& operator=(const CheckWorker&) = delete;

  // Starts job on the worker thread unless a check is running; false when one was. The job's report
  // reaches WindowSide::finished on the UI thread once the thread has ended.
  bool Start(std::function<CheckReport()> job);
  bool running() const { return thread_.joinable(); }

  // Ends the running check soon: the transfer is aborted, pauses return, no page view opens.
  void RequestStop() { stop_.RequestStop(); }
  // Ends the running check and waits for its thread; its report is dropped.
  void StopAndWait();
  const StopToken& stopToken() const { return stop_; }

  // Whether each log line waits a moment so the user sees it arrive; off until the window shows.
  void SetLinePauses(bool on) { linePauses_.store(on); }

  // CheckHost, called by the check on the worker thread.
  void AppendLog(const std::string& text, LogColor color) override;
  void Pause(std::chrono::milliseconds duration) override;
  void SetBusy(bool busy) override;
  bool ShowGeneratedPage(const std::filesystem::path& pageFile) override;
  std::time_t Now() override;

 private:
  void Finish(const CheckReport& report);

  QPointer<QObject> window_;
  WindowSide side_;
  PauseFunction pause_;
  StopToken stop_;
  std::atomic<bool> linePauses_{false};
  std::thread thread_;
};

}  // namespace zepa2::ui
