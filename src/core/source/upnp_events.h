// The UPnP router's own word that its public address changed: a subscription to the events of
// its connection service (GENA), renewed before it runs out, and the NOTIFY requests it sends.
// Many routers refuse subscriptions; that is noted once and the countdown goes on as before.
#pragma once

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/sys/stop_token.h"

namespace zepa2 {

// What a router answered a SUBSCRIBE with.
struct SubscribeAnswer {
  int status = 0;                  // the HTTP status; 0 when the answer was unreadable
  std::string sid;                 // the subscription's identifier
  std::chrono::seconds granted{};  // how long it lasts; zero when the router said "infinite" or nothing
};
SubscribeAnswer ReadSubscribeAnswer(std::string_view answer);

// A request to the callback address, once it has arrived whole (headers and the body its
// Content-Length gives); nothing while more is to come.
struct EventNotice {
  bool isNotify = false;
  std::string sid;
  std::string externalAddress;  // the ExternalIPAddress it carries, as sent; empty when none
};
std::optional<EventNotice> ReadEventNotice(std::string_view request);

class UpnpEvents {
 public:
  using Clock = std::chrono::steady_clock;
  // What the router is asked for: the seconds a subscription lasts, and how long a refused one
  // waits before it is asked again.
  static constexpr std::chrono::seconds kAsked{1800};
  // How long a callback connection has to deliver its whole message: a half-sent one (a router
  // that crashed or lost its link mid-message) is closed then, and frees its slot.
  static constexpr std::chrono::seconds kMessageDeadline{5};

  // igdUrl: the root description's URL; empty: discovered. The first subscription is asked for at
  // the first Take.
  explicit UpnpEvents(std::string igdUrl);
  ~UpnpEvents();
  UpnpEvents(const UpnpEvents&) = delete;
  UpnpEvents& operator=(const UpnpEvents&) = delete;

  // Whether the callback address could be opened; without it nothing is subscribed.
  bool ready() const { return listener_ >= 0; }
  std::vector<int> descriptors() const;
  std::optional<Clock::time_point> nextDeadline() const;

  struct Taken {
    std::vector<std::string> addresses;  // ExternalIPAddress values the router sent
    std::vector<std::string> notes;      // UTF-8 lines for the log
  };
  // Takes the answer of a finished SUBSCRIBE, the callbacks that arrived, and starts the next
  // SUBSCRIBE when it is due.
  Taken Take(Clock::time_point now);

 private:
  struct Exchange {
    std::string eventUrl;
    std::string routerAddress;  // numeric: callbacks from any other host are refused
    SubscribeAnswer answer;
    std::string reason;  // why no answer came
  };
  struct Connection {
    int fd;
    std::string received;
    Clock::time_point deadline;  // closed unanswered when the message is not whole by then
  };

  static Exchange Subscribe(const std::string& igdUrl, std::string eventUrl, const std::string& sid,
                            int callbackPort, const StopToken& stop);
  void StartExchange();
  void FinishExchange(Clock::time_point now, Taken& taken);
  void AcceptCallbacks(Clock::time_point now);
  void ReadCallbacks(Clock::time_point now, Taken& taken);
  void CloseCallback(std::vector<Connection>::iterator connection);

  std::string igdUrl_;
  int listener_ = -1;  // the callback address's socket
  int done_ = -1;      // eventfd: the SUBSCRIBE on the side thread has its answer
  StopToken stop_;
  std::thread exchange_;
  std::mutex mutex_;
  std::optional<Exchange> finished_;
  std::string eventUrl_;
  std::string routerAddress_;
  std::string sid_;
  std::optional<Clock::time_point> nextSubscribe_;  // nothing while a SUBSCRIBE is under way
  bool refusalNoted_ = false;
  std::vector<Connection> connections_;
};

}  // namespace zepa2
