#include "ui/main/check_worker.h"

#include <QMetaObject>
#include <ctime>
#include <future>
#include <memory>

#include "ui/common/wait_cursor.h"

namespace zepa2::ui {
namespace {
constexpr std::chrono::milliseconds kLogLinePause{200};
// How often a check waiting for the page view looks whether it was asked to stop.
constexpr std::chrono::milliseconds kPageViewStopPoll{50};
}  // namespace

CheckWorker::CheckWorker(QObject* window, WindowSide side, PauseFunction pause)
    : window_(window), side_(std::move(side)), pause_(std::move(pause)) {}

CheckWorker::~CheckWorker() { StopAndWait(); }

void CheckWorker::StopAndWait() {
  if (!thread_.joinable()) return;
  stop_.RequestStop();
  thread_.join();
}

bool CheckWorker::Start(std::function<CheckReport()> job) {
  if (thread_.joinable()) return false;
  stop_.Reset();
  thread_ = std::thread([this, job = std::move(job)] {
    const CheckReport report = job();
    // Posted last: when it runs, the thread has nothing left to do but end.
    QMetaObject::invokeMethod(
        window_, [this, report] { Finish(report); }, Qt::QueuedConnection);
  });
  return true;
}

void CheckWorker::Finish(const CheckReport& report) {
  if (thread_.joinable()) thread_.join();
  if (side_.finished) side_.finished(report);
}

void CheckWorker::AppendLog(const std::string& text, LogColor color) {
  QMetaObject::invokeMethod(
      window_, [this, text, color] { side_.appendLog(text, color); }, Qt::QueuedConnection);
  if (linePauses_.load()) Pause(kLogLinePause);
}

void CheckWorker::Pause(std::chrono::milliseconds duration) {
  if (stop_.stopRequested()) return;
  if (pause_) {
    pause_(duration);
  } else {
    stop_.SleepFor(duration);
  }
}

void CheckWorker::SetBusy(bool busy) {
  QMetaObject::invokeMethod(
      window_, [busy] { SetWaitCursor(busy); }, Qt::QueuedConnection);
}

// The page view is modal on the UI thread; the check waits here until the user closes it. Not a
// blocking queued call: a window that is ending joins this thread, and must not wait on a view
// it will never open.
bool CheckWorker::ShowGeneratedPage(const std::filesystem::path& pageFile) {
  if (stop_.stopRequested() || !window_) return false;
  auto answer = std::make_shared<std::promise<bool>>();
  std::future<bool> shown = answer->get_future();
  QMetaObject::invokeMethod(
      window_,
      [this, pageFile, answer] {
        // Asked to stop before the view came up: the user is quitting, no view opens.
        answer->set_value(!stop_.stopRequested() && side_.showPage(pageFile));
      },
      Qt::QueuedConnection);
  while (shown.wait_for(kPageViewStopPoll) != std::future_status::ready) {
    if (stop_.stopRequested()) return false;
  }
  return shown.get();
}

std::time_t CheckWorker::Now() { return std::time(nullptr); }

}  // namespace zepa2::ui
