#include "core/outcome/check_notice.h"

#include "core/run/check_report_text.h"
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
    else if (site.proof == ProofKind::NotConfirmed) lines += SiteLine(site, msg::kNoticeNotConfirmed);
  }
  return lines;
}

// One line per DNS target whose request this run failed, stopped or held it, in the sites' style:
// "DNS1（names）：停止中（badauth）". The provider's code is named; a reason, often the network
// library's English, stays in the log as for the sites.
std::string DnsFailureLines(const CheckReport& report) {
  std::string lines;
  for (const DnsTargetReport& target : report.dnsTargets) {
    if (!target.sent || !DnsTargetFailed(target.result)) continue;
    lines += Cp932(msg::kDnsTarget) + std::to_string(target.number) + Cp932("（") + target.hosts +
             Cp932("）：") + Cp932(DnsResultText(target.result));
    if (!target.code.empty()) lines += Cp932("（") + Utf8ToCp932(target.code) + Cp932("）");
    lines += "\n";
  }
  return lines;
}

}  // namespace

std::optional<CheckNotice> RecoveryNotice(const CheckReport& report) {
  // A stopped, held or failing DNS target has not recovered, whether or not it was asked this run.
  for (const DnsTargetReport& target : report.dnsTargets)
    if (DnsTargetFailed(target.result)) return std::nullopt;
  if (report.outcome == CheckOutcome::Unchanged ||
      (report.outcome == CheckOutcome::Published && FailureLines(report).empty()))
    return CheckNotice{Cp932(msg::kNoticeRecoveredTitle), Cp932(msg::kNoticeSameAddress) + report.address,
                       false, NoticeEvent::Recovered};
  return std::nullopt;
}

std::optional<CheckNotice> NoticeForCheck(int notifySetting, const CheckReport& report) {
  const NotifyLevel level = LevelOf(notifySetting);
  if (level == NotifyLevel::None) return std::nullopt;
  if (report.outcome == CheckOutcome::AddressNotFound)
    return CheckNotice{Cp932(msg::kNoticeNotFoundTitle), Cp932(msg::kAddressNotFound), true};
  const std::string dnsFailures = DnsFailureLines(report);
  if (!IsPublishOutcome(report.outcome)) {
    // An unchanged address still reaches the targets that owed an update: their refusal is news.
    if (dnsFailures.empty()) return std::nullopt;
    return CheckNotice{Cp932(msg::kNoticeFailedTitle), dnsFailures.substr(0, dnsFailures.size() - 1), true};
  }

  const bool newAddress = report.address != report.previousAddress;
  const char* addressWord = newAddress ? msg::kNoticeNewAddress : msg::kNoticeSameAddress;
  const std::string addressLine = Cp932(addressWord) + report.address + "\n";
  const std::string failures = FailureLines(report) + dnsFailures;
  if (!failures.empty()) {
    std::string body = report.outcome == CheckOutcome::PublishFailed ? failures : addressLine + failures;
    body.pop_back();
    return CheckNotice{Cp932(msg::kNoticeFailedTitle), body, true};
  }
  if (level != NotifyLevel::EveryPublish) return std::nullopt;
  return CheckNotice{Cp932(msg::kNoticePublishedTitle), addressLine.substr(0, addressLine.size() - 1), false};
}

std::optional<CheckNotice> NoticeSequence::Next(int notifySetting, const CheckReport& report) {
  std::optional<CheckNotice> notice = NoticeForCheck(notifySetting, report);
  if (notice && notice->failure) {
    // The same failure again is no news: it is told when it begins or changes.
    if (notice->body == toldFailure_) return std::nullopt;
    toldFailure_ = notice->body;
  } else if (!toldFailure_.empty()) {
    if (report.outcome == CheckOutcome::Found) return std::nullopt;  // a test run says nothing of the sites
    std::optional<CheckNotice> recovered = RecoveryNotice(report);
    if (!recovered) return std::nullopt;
    toldFailure_.clear();
    if (notifySetting > 0) notice = std::move(recovered);
  }
  return notice;
}

}  // namespace zepa2
