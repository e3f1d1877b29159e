// What the desktop is told after a check, by the [SYSTEM] Notify setting: nothing, failures, or every
// publish.
#pragma once

#include <optional>
#include <string>

#include "core/run/check_report.h"

namespace zepa2 {

enum class NotifyLevel { None = 0, FailuresOnly = 1, EveryPublish = 2 };

// What a notice tells of: a failure, the end of one, or a publish that went well.
enum class NoticeEvent { Published, Failed, Recovered };

struct CheckNotice {
  std::string title;  // CP932
  std::string body;   // CP932, one line per fact
  bool failure = false;
  NoticeEvent event = failure ? NoticeEvent::Failed : NoticeEvent::Published;
};

// The notice for a finished check, or nothing. A failure is an address not found, a site that did
// not take the page, or a public page that did not show it; with EveryPublish a publish without
// failures is told too (the new address). Unchanged addresses and test runs are never told.
// Values beyond the three levels count as the nearest one.
std::optional<CheckNotice> NoticeForCheck(int notifySetting, const CheckReport& report);

// After a failure was told: the notice that the run went well again (the address published, or
// unchanged and every site up to date, every DNS target well), or nothing while it has not.
std::optional<CheckNotice> RecoveryNotice(const CheckReport& report);

// The notices of a run of checks, one per event, for every channel alike (the desktop, mail,
// webhooks): a failure is told when it begins or changes and not while it repeats, and once it was
// told, the first check that recovers from it is told too (whatever the setting, once one was told).
class NoticeSequence {
 public:
  // toldFailure: the body of a failure told before (a program that keeps it between its runs).
  explicit NoticeSequence(std::string toldFailure = {}) : toldFailure_(std::move(toldFailure)) {}

  // The notice this check brings, or nothing.
  std::optional<CheckNotice> Next(int notifySetting, const CheckReport& report);
  // The body of the failure told and not yet recovered from; empty when none.
  const std::string& toldFailure() const { return toldFailure_; }

 private:
  std::string toldFailure_;  // the body of the failure last told, until a run recovers from it
};

}  // namespace zepa2
