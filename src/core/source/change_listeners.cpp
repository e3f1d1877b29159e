#include "core/source/change_listeners.h"

#include "core/source/decimal_address.h"
#include "core/source/natpmp_address.h"
#include "core/source/natpmp_announcements.h"
#include "core/source/upnp_events.h"
#include "core/sys/network_watch.h"
#include "core/text/messages.h"

namespace zepa2 {

const char* ChangeCauseLine(ChangeCause cause) {
  switch (cause) {
    case ChangeCause::Network:
      return msg::kRunByNetworkChange;
    case ChangeCause::NatPmpAnnouncement:
      return msg::kRunByNatPmpAnnouncement;
    case ChangeCause::UpnpEvent:
      return msg::kRunByUpnpEvent;
  }
  return msg::kRunByNetworkChange;
}

ListenerPlan PlanListeners(const AppSettings& settings) {
  ListenerPlan plan;
  if (!settings.events) return plan;
  plan.network = true;
  if (settings.useLocalAddress) return plan;  // the router is not asked, so its word is not wanted
  plan.natPmp = settings.addressSource == AddressSource::NatPmp;
  if (plan.natPmp) plan.natPmpGateway = settings.natPmpGateway;
  plan.upnp = settings.addressSource == AddressSource::Upnp;
  if (plan.upnp) plan.igdUrl = settings.igdUrl;
  return plan;
}

ChangeListeners::ChangeListeners(ListenerPlan plan) : plan_(std::move(plan)) {
  std::string reason;
  if (plan_.network && !(network_ = NetworkWatch::Open(reason))) {
    openingNotes_.push_back(msg::kListenerUnavailable + reason);
  }
  if (plan_.natPmp && !(natPmp_ = NatPmpAnnouncements::Open(reason))) {
    openingNotes_.push_back(msg::kListenerUnavailable + reason);
  }
  if (plan_.upnp) {
    upnp_ = std::make_unique<UpnpEvents>(plan_.igdUrl);
    if (!upnp_->ready()) {
      openingNotes_.push_back(std::string(msg::kListenerUnavailable) + "UPnP: no callback address");
      upnp_.reset();
    }
  }
}

ChangeListeners::~ChangeListeners() = default;

std::vector<int> ChangeListeners::descriptors() const {
  std::vector<int> fds;
  if (network_) fds.push_back(network_->descriptor());
  if (natPmp_) fds.push_back(natPmp_->descriptor());
  if (upnp_) {
    for (const int fd : upnp_->descriptors()) fds.push_back(fd);
  }
  return fds;
}

std::optional<ChangeListeners::Clock::time_point> ChangeListeners::nextDeadline() const {
  return upnp_ ? upnp_->nextDeadline() : std::nullopt;
}

bool ChangeListeners::AnnouncedNewAddress(const std::vector<std::string>& announced,
                                          const std::string& publishedAddress) {
  bool fresh = false;
  for (const std::string& address : announced) {
    if (address == lastAnnounced_) continue;
    lastAnnounced_ = address;
    // The published address is in the decimal form when that is on.
    fresh = fresh || (address != publishedAddress && ToDecimalAddress(address) != publishedAddress);
  }
  return fresh;
}

ChangeListeners::Taken ChangeListeners::Take(Clock::time_point now, const std::string& publishedAddress) {
  Taken taken;
  const auto note = [&](ChangeCause cause) {
    if (!taken.change) taken.change = cause;
  };
  if (network_ && network_->TakeChanges()) note(ChangeCause::Network);
  // The gateway is looked up as the datagrams come: the default route may have changed since.
  if (natPmp_ &&
      AnnouncedNewAddress(natPmp_->Take(NatPmpGatewayToAsk(plan_.natPmpGateway)), publishedAddress)) {
    note(ChangeCause::NatPmpAnnouncement);
  }
  if (upnp_) {
    UpnpEvents::Taken events = upnp_->Take(now);
    for (std::string& line : events.notes) taken.notes.push_back(std::move(line));
    if (AnnouncedNewAddress(events.addresses, publishedAddress)) note(ChangeCause::UpnpEvent);
  }
  return taken;
}

}  // namespace zepa2
