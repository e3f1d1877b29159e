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

// "サイト2 (ftp.example.net): 接続失敗 (Connection refused)"
std::string SiteLine(const SiteReport& site, const char* what, const std::string& reason) {
  std::string line = Cp932(msg::kNoticeSite) + std::to_string(site.number) + " (" + site.server +
                     "): " + Cp932(what);
  if (!reason.empty()) line += " (" + Utf8ToCp932(reason) + ")";
  return line + "\n";
}

// One line per site that failed or whose public page did not show the address.
std::string FailureLines(const CheckReport& report) {
  std::string lines;
  for (const SiteReport& site : report.sites) {
    if (!SiteSucceeded(site.kind)) lines += SiteLine(site, SiteResultText(site.kind), site.reason);
    else if (site.proof == ProofKind::NotConfirmed)
      lines += SiteLine(site, msg::kNoticeNotConfirmed, site.proofReason);
  }
  return lines;
}

// One line per DNS target whose request this run failed, stopped or held it: "DNS1 (names): 停止中 (badauth)".
std::string DnsFailureLines(const CheckReport& report) {
  std::string lines;
  for (const DnsTargetReport& target : report.dnsTargets) {
    if (!target.sent || !DnsTargetFailed(target.result)) continue;
    lines += Cp932(msg::kDnsTarget) + std::to_string(target.number) + " (" + target.hosts + "): " +
             Cp932(DnsResultText(target.result));
    const std::string why = target.code.empty() ? target.reason : target.code;
    if (!why.empty()) lines += " (" + Utf8ToCp932(why) + ")";
    lines += "\n";
  }
  return lines;
}

}  // namespace

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

  const std::string addressLine = Cp932(msg::kNoticeNewAddress) + report.address + "\n";
  const std::string failures = FailureLines(report) + dnsFailures;
  if (!failures.empty()) {
    std::string body = report.outcome == CheckOutcome::PublishFailed ? failures : addressLine + failures;
    body.pop_back();
    return CheckNotice{Cp932(msg::kNoticeFailedTitle), body, true};
  }
  if (level != NotifyLevel::EveryPublish) return std::nullopt;
  return CheckNotice{Cp932(msg::kNoticePublishedTitle), addressLine.substr(0, addressLine.size() - 1), false};
}

}  // namespace zepa2
