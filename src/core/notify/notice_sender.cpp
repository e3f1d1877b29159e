#include "core/notify/notice_sender.h"

namespace zepa2 {

NoticeSender::NoticeSender(NoticeLog log, const StopToken* sendingStop, std::chrono::milliseconds deadline)
    : log_(std::move(log)),
      sendingStop_(sendingStop ? sendingStop : &stop_),
      deadline_(deadline),
      thread_([this] { Loop(); }) {}

NoticeSender::~NoticeSender() {
  {
    std::lock_guard lock(mutex_);
    jobs_.clear();
  }
  stop_.RequestStop();
  wake_.notify_all();
  idle_.notify_all();
  thread_.join();
}

void NoticeSender::Send(NoticeJob job) {
  {
    std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
  }
  wake_.notify_all();
}

void NoticeSender::Drain() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return stop_.stopRequested() || (jobs_.empty() && !working_); });
}

void NoticeSender::Loop() {
  for (;;) {
    NoticeJob job;
    {
      std::unique_lock lock(mutex_);
      working_ = false;
      idle_.notify_all();
      wake_.wait(lock, [this] { return stop_.stopRequested() || !jobs_.empty(); });
      if (stop_.stopRequested()) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
      working_ = true;
    }
    DeliverNotice(job, log_, {sendingStop_, deadline_});
  }
}

}  // namespace zepa2
