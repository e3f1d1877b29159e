#include "ui/main/aftermath_runner.h"

#include <QMetaObject>

namespace zepa2::ui {

AftermathRunner::AftermathRunner(QObject* window, AppendLog appendLog)
    : window_(window), appendLog_(std::move(appendLog)), notices_(QueuedLog()), thread_([this] { Loop(); }) {}

AftermathRunner::~AftermathRunner() {
  {
    std::lock_guard lock(mutex_);
    jobs_.clear();
  }
  stop_.RequestStop();
  wake_.notify_all();
  thread_.join();
}

void AftermathRunner::Run(CheckReport report, AppSettings settings, std::filesystem::path statusFile) {
  {
    std::lock_guard lock(mutex_);
    jobs_.push_back({std::move(report), std::move(settings), std::move(statusFile)});
  }
  wake_.notify_all();
}

bool AftermathRunner::busy() const {
  std::lock_guard lock(mutex_);
  return working_ || !jobs_.empty();
}

AftermathRunner::AppendLog AftermathRunner::QueuedLog() const {
  return [window = window_, appendLog = appendLog_](const std::string& text, LogColor color) {
    if (!window) return;
    QMetaObject::invokeMethod(
        window.data(),
        [window, appendLog, text, color] {
          if (window) appendLog(text, color);
        },
        Qt::QueuedConnection);
  };
}

void AftermathRunner::Loop() {
  const AppendLog log = QueuedLog();
  for (;;) {
    Job job;
    {
      std::unique_lock lock(mutex_);
      working_ = false;
      wake_.wait(lock, [this] { return stop_.stopRequested() || !jobs_.empty(); });
      if (stop_.stopRequested()) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
      working_ = true;
    }
    FinishCheck(job.report, job.settings, job.statusFile, log, &stop_);
  }
}

}  // namespace zepa2::ui
