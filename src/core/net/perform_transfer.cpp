#include "core/net/perform_transfer.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "core/net/curl_handle.h"

namespace zepa2::net {
namespace {

// Short enough that a step libcurl forgot to wake for costs a few milliseconds, long enough that
// a transfer waiting on a slow server does not spin.
constexpr int kWakeMilliseconds = 20;

struct MultiDeleter {
  void operator()(CURLM* m) const { curl_multi_cleanup(m); }
};

// Keeps the easy handle in its multi for exactly one transfer, as curl_easy_perform does: the
// connection stays in the multi's cache for the handle's next transfer.
class Attached {
 public:
  Attached(CURLM* multi, CURL* handle)
      : multi_(multi), handle_(handle), ok_(curl_multi_add_handle(multi, handle) == CURLM_OK) {}
  ~Attached() {
    if (ok_) curl_multi_remove_handle(multi_, handle_);
  }
  Attached(const Attached&) = delete;
  Attached& operator=(const Attached&) = delete;
  bool ok() const { return ok_; }

 private:
  CURLM* multi_;
  CURL* handle_;
  bool ok_;
};

// Watches the stop request while a transfer runs and cuts the handle's sockets when it comes: a
// step libcurl runs blocking inside one perform call (the control connection's TLS handshake after
// AUTH TLS) would otherwise outlast the stop until its connect time-out.
class StopWatch {
 public:
  StopWatch(CURL* handle, const StopToken* stop) {
    if (stop) thread_ = std::thread([this, handle, stop] { Watch(handle, *stop); });
  }
  ~StopWatch() {
    if (!thread_.joinable()) return;
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    wake_.notify_one();
    thread_.join();
  }
  StopWatch(const StopWatch&) = delete;
  StopWatch& operator=(const StopWatch&) = delete;

 private:
  void Watch(CURL* handle, const StopToken& stop) {
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, kStopCheck, [this] { return done_; })) {
      if (stop.stopRequested()) return CutSocketsOf(handle);
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  bool done_ = false;
  std::thread thread_;
};

CURLcode Drive(CURLM* multi, CURL* handle, const TransferLimits& limits) {
  const StopWatch watch(handle, limits.stop);
  const Attached attached(multi, handle);
  if (!attached.ok()) return CURLE_FAILED_INIT;
  int running = 1;
  while (true) {
    if (curl_multi_perform(multi, &running) != CURLM_OK) return CURLE_FAILED_INIT;
    if (running == 0) break;
    if (limits.stopRequested() || limits.deadlinePassed()) return CURLE_ABORTED_BY_CALLBACK;
    if (curl_multi_poll(multi, nullptr, 0, kWakeMilliseconds, nullptr) != CURLM_OK) {
      return CURLE_FAILED_INIT;
    }
  }
  int queued = 0;
  while (const CURLMsg* message = curl_multi_info_read(multi, &queued)) {
    if (message->msg == CURLMSG_DONE && message->easy_handle == handle) return message->data.result;
  }
  return CURLE_FAILED_INIT;
}

}  // namespace

CURLcode PerformTransfer(CURL* handle, const TransferLimits& limits) {
  if (limits.stopRequested()) return CURLE_ABORTED_BY_CALLBACK;
  if (CURLM* paired = MultiOf(handle)) return Drive(paired, handle, limits);
  // A handle made elsewhere has no multi to keep its connection in; it gets one for this call.
  std::unique_ptr<CURLM, MultiDeleter> own(curl_multi_init());
  if (!own) return CURLE_OUT_OF_MEMORY;
  return Drive(own.get(), handle, limits);
}

}  // namespace zepa2::net
