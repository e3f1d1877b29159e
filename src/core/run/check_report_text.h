// A check report's values as words: fixed names for files and hooks, Japanese texts for people.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/run/check_report.h"

namespace zepa2 {

// "address-not-found", "found", "unchanged", "published", "partly-published", "publish-failed".
std::string_view CheckOutcomeName(CheckOutcome outcome);
// "done", "shown", "not-registered", "template-not-opened", "page-not-written", "connect-failed",
// "transfer-refused", "timed-out", "cancelled".
std::string_view SiteResultName(SiteResultKind kind);
// "not-checked", "confirmed", "not-confirmed".
std::string_view ProofName(ProofKind proof);

// What a person reads for a site's result, UTF-8 ("成功", "接続失敗", …).
const char* SiteResultText(SiteResultKind kind);

// A publish ended: every site was tried (not a test run, not an unchanged address, not a failed search).
bool IsPublishOutcome(CheckOutcome outcome);
// "ok", "partial" or "failed" for a publish outcome.
std::string_view PublishResultWord(CheckOutcome outcome);

// The numbers of the sites that did not take the page, in report order.
std::vector<int> FailedSiteNumbers(const CheckReport& report);

// Whether the run went wrong: no address, a site that did not take the page, or a DNS target that
// failed, is stopped or held. A test run or an unchanged address with every target well did not.
bool CheckFailed(const CheckReport& report);

}  // namespace zepa2
