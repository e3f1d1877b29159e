// Sends the notices of both programs on a thread of its own, one job after another, so that a
// slow or silent server never holds a check, the next one or the window up.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "core/notify/notice_delivery.h"
#include "core/sys/stop_token.h"

namespace zepa2 {

class NoticeSender {
 public:
  // log is called on the sender's thread; deadline is each sending's. A stop asked of sendingStop
  // (the program's own) ends the sending under way too.
  explicit NoticeSender(NoticeLog log, const StopToken* sendingStop = nullptr,
                        std::chrono::milliseconds deadline = kNoticeDeadline);
  // Ends a sending under way at once (unless it follows sendingStop) and drops the jobs not begun.
  ~NoticeSender();
  NoticeSender(const NoticeSender&) = delete;
  NoticeSender& operator=(const NoticeSender&) = delete;

  // Queues a job and returns at once.
  void Send(NoticeJob job);
  // Waits until every job queued so far is done (each ends within its deadlines), or the sender stops.
  void Drain();

 private:
  void Loop();

  NoticeLog log_;
  const StopToken* sendingStop_;
  std::chrono::milliseconds deadline_;
  StopToken stop_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::deque<NoticeJob> jobs_;
  bool working_ = false;
  std::thread thread_;
};

}  // namespace zepa2
