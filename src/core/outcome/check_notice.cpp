#include "core/outcome/check_notice.h"

#include "core/check/check_report_text.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"

namespace zepa2 {
namespace {

NotifyLevel LevelOf(int setting) {
  if (setting <= 0) return NotifyLevel::None;
  return setting == 1 ? NotifyLevel::FailuresOnly : NotifyLevel::EveryPublish;
}

// "サイト：2（ftp.example.net）：接続失敗". The network library's English reason stays in the log:
// a notice is read at a glance, in the user's language.
std::string SiteLine(const SiteReport& site, const char* what) {
  return Cp932(msg::kNoticeSite) + std::to_string(site.number) + Cp932("（") + site.server + Cp932("）：") +
         Cp932(what) + "\n";
}

// One line per site that failed or whose public page did not show the address.
std::string FailureLines(const CheckReport& report) {
  std::string lines;
  for (const SiteReport& site : report.sites) {
    if (!SiteSucceeded(site.kind)) lines += SiteLine(site, SiteResultText(site.kind));
    else if (site.proof == ProofKind::NotConfirmed)
      lines += SiteLine(site, msg::kNoticeNotConfirmed);
  }
  return lines;
}

}  // namespace

std::optional<CheckNotice> RecoveryNotice(const CheckReport& report) {
  if (report.outcome == CheckOutcome::Unchanged ||
      (report.outcome == CheckOutcome::Published && FailureLines(report).empty()))
    return CheckNotice{Cp932(msg::kNoticeRecoveredTitle), Cp932(msg::kNoticeSameAddress) + report.address, false};
  return std::nullopt;
}

std::optional<CheckNotice> NoticeForCheck(int notifySetting, const CheckReport& report) {
  const NotifyLevel level = LevelOf(notifySetting);
  if (level == NotifyLevel::None) return std::nullopt;
  if (report.outcome == CheckOutcome::AddressNotFound)
    return CheckNotice{Cp932(msg::kNoticeNotFoundTitle), Cp932(msg::kAddressNotFound), true};
  if (!IsPublishOutcome(report.outcome)) return std::nullopt;

  const bool newAddress = report.address != report.previousAddress;
  const char* addressWord = newAddress ? msg::kNoticeNewAddress : msg::kNoticeSameAddress;
  const std::string addressLine = Cp932(addressWord) + report.address + "\n";
  const std::string failures = FailureLines(report);
  if (!failures.empty()) {
    std::string body = report.outcome == CheckOutcome::PublishFailed ? failures : addressLine + failures;
    body.pop_back();
    return CheckNotice{Cp932(msg::kNoticeFailedTitle), body, true};
  }
  if (level != NotifyLevel::EveryPublish) return std::nullopt;
  return CheckNotice{Cp932(msg::kNoticePublishedTitle), addressLine.substr(0, addressLine.size() - 1), false};
}

}  // namespace zepa2
