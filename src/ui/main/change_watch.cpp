#include "ui/main/change_watch.h"

#include <QSocketNotifier>
#include <algorithm>

#include "core/text/cp932.h"

namespace zepa2::ui {

ChangeWatch::ChangeWatch(QObject* parent, Host host) : QObject(parent), host_(std::move(host)) {
  due_.setSingleShot(true);
  connect(&due_, &QTimer::timeout, this, &ChangeWatch::Poll);
}

ChangeWatch::~ChangeWatch() = default;

void ChangeWatch::Follow(const AppSettings& settings) {
  ListenerPlan plan = PlanListeners(settings);
  if (listeners_ && listeners_->plan() == plan) return;
  notifiers_.clear();
  listeners_.reset();  // the old ones let go of their ports first
  listeners_ = std::make_unique<ChangeListeners>(std::move(plan));
  for (const std::string& note : listeners_->openingNotes()) host_.log(Utf8ToCp932(note), log_color::kRed);
  WatchDescriptors();
  Poll();
}

// A notifier per descriptor, made again only when the descriptors changed.
void ChangeWatch::WatchDescriptors() {
  const std::vector<int> wanted = listeners_ ? listeners_->descriptors() : std::vector<int>{};
  std::vector<int> watched;
  for (const auto& notifier : notifiers_) watched.push_back(static_cast<int>(notifier->socket()));
  if (watched == wanted) return;
  notifiers_.clear();
  for (const int fd : wanted) {
    auto notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(notifier.get(), &QSocketNotifier::activated, this, &ChangeWatch::Poll);
    notifiers_.push_back(std::move(notifier));
  }
}

void ChangeWatch::Poll() {
  if (!listeners_) return;
  const auto now = EventMerger::Clock::now();
  const ChangeListeners::Taken taken = listeners_->Take(now, host_.publishedAddress());
  for (const std::string& note : taken.notes) host_.log(Utf8ToCp932(note), log_color::kRed);
  if (taken.change) {
    if (!merger_.dueAt()) cause_ = *taken.change;
    merger_.Note(now);
  }
  WatchDescriptors();
  if (merger_.TakeDue(now, host_.checkRunning())) {
    emit checkDue(ChangeCauseLine(cause_));
  }
  // The next moment something is due; while a check runs, its end polls instead.
  std::optional<EventMerger::Clock::time_point> next = listeners_->nextDeadline();
  if (const auto merged = merger_.dueAt(); merged && !host_.checkRunning() && (!next || *merged < *next))
    next = merged;
  if (!next) {
    due_.stop();
    return;
  }
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - EventMerger::Clock::now());
  due_.start(static_cast<int>(std::clamp<long long>(wait.count(), 0, 24LL * 3600 * 1000)));
}

}  // namespace zepa2::ui
