// What both programs listen to between checks, as the settings ask: this machine's addresses and
// routes, and the router's own word that its public address changed (NAT-PMP announcements, UPnP
// events). Nothing here blocks: the host waits on the descriptors and calls Take.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/settings/app_settings.h"

namespace zepa2 {

class NetworkWatch;
class NatPmpAnnouncements;
class UpnpEvents;

// What started a check other than the countdown or a hand.
enum class ChangeCause { Network, NatPmpAnnouncement, UpnpEvent };

// The log line (UTF-8) that says a check was started by `cause`.
const char* ChangeCauseLine(ChangeCause cause);

// The listeners the settings call for; equal plans need no new listeners.
struct ListenerPlan {
  bool network = false;
  bool natPmp = false;
  std::string natPmpGateway;  // as set; empty: the default route's gateway, looked up as datagrams come
  bool upnp = false;
  std::string igdUrl{};  // as set; empty: discovered
  bool operator==(const ListenerPlan&) const = default;
};
ListenerPlan PlanListeners(const AppSettings& settings);

class ChangeListeners {
 public:
  using Clock = std::chrono::steady_clock;

  explicit ChangeListeners(ListenerPlan plan);
  ~ChangeListeners();
  ChangeListeners(const ChangeListeners&) = delete;
  ChangeListeners& operator=(const ChangeListeners&) = delete;

  const ListenerPlan& plan() const { return plan_; }
  // Lines for the log (UTF-8, red) about listeners that could not start; the host logs them once.
  const std::vector<std::string>& openingNotes() const { return openingNotes_; }
  // The descriptors to wait on for reading; they may differ after each Take.
  std::vector<int> descriptors() const;
  // When Take must be called even if nothing arrives (a subscription to renew); nothing: never.
  std::optional<Clock::time_point> nextDeadline() const;

  struct Taken {
    std::optional<ChangeCause> change;  // the first change worth a check, if one came
    std::vector<std::string> notes;     // lines for the log (UTF-8), red: a listener that failed
  };
  // Reads what has arrived and does what is due at `now`. publishedAddress is the address last
  // published (CP932): a router that announces it again asks for no check.
  Taken Take(Clock::time_point now, const std::string& publishedAddress);

 private:
  bool AnnouncedNewAddress(const std::vector<std::string>& announced, const std::string& publishedAddress);

  ListenerPlan plan_;
  std::unique_ptr<NetworkWatch> network_;
  std::unique_ptr<NatPmpAnnouncements> natPmp_;
  std::unique_ptr<UpnpEvents> upnp_;
  std::string lastAnnounced_;  // a gateway repeats each announcement; the repeats ask for nothing
  std::vector<std::string> openingNotes_;
};

}  // namespace zepa2
