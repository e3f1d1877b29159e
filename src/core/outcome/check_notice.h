// What the desktop is told after a check, by the [SYSTEM] Notify setting: nothing, failures, or every
// publish.
#pragma once

#include <optional>
#include <string>

#include "core/run/check_report.h"

namespace zepa2 {

enum class NotifyLevel { None = 0, FailuresOnly = 1, EveryPublish = 2 };

struct CheckNotice {
  std::string title;  // CP932
  std::string body;   // CP932, one line per fact
  bool failure = false;
};

// The notice for a finished check, or nothing. A failure is an address not found, a site that did
// not take the page, or a public page that did not show it; with EveryPublish a publish without
// failures is told too (the new address). Unchanged addresses and test runs are never told.
// Values beyond the three levels count as the nearest one.
std::optional<CheckNotice> NoticeForCheck(int notifySetting, const CheckReport& report);

// After a failure was told: the notice that the run went well again (the address published, or
// unchanged and every site up to date, every DNS target well), or nothing while it has not.
std::optional<CheckNotice> RecoveryNotice(const CheckReport& report);

}  // namespace zepa2
