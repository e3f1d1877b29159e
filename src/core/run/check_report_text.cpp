#include "core/run/check_report_text.h"

#include "core/text/messages.h"

namespace zepa2 {

std::string_view CheckOutcomeName(CheckOutcome outcome) {
  switch (outcome) {
    case CheckOutcome::AddressNotFound:
      return "address-not-found";
    case CheckOutcome::Found:
      return "found";
    case CheckOutcome::Unchanged:
      return "unchanged";
    case CheckOutcome::Published:
      return "published";
    case CheckOutcome::PartlyPublished:
      return "partly-published";
    case CheckOutcome::PublishFailed:
      return "publish-failed";
  }
  return "unknown";
}

std::string_view SiteResultName(SiteResultKind kind) {
  switch (kind) {
    case SiteResultKind::Done:
      return "done";
    case SiteResultKind::Shown:
      return "shown";
    case SiteResultKind::NotRegistered:
      return "not-registered";
    case SiteResultKind::TemplateNotOpened:
      return "template-not-opened";
    case SiteResultKind::PageNotWritten:
      return "page-not-written";
    case SiteResultKind::ConnectFailed:
      return "connect-failed";
    case SiteResultKind::TransferRefused:
      return "transfer-refused";
    case SiteResultKind::TimedOut:
      return "timed-out";
    case SiteResultKind::Cancelled:
      return "cancelled";
  }
  return "unknown";
}

std::string_view ProofName(ProofKind proof) {
  switch (proof) {
    case ProofKind::NotChecked:
      return "not-checked";
    case ProofKind::Confirmed:
      return "confirmed";
    case ProofKind::NotConfirmed:
      return "not-confirmed";
  }
  return "unknown";
}

const char* SiteResultText(SiteResultKind kind) {
  switch (kind) {
    case SiteResultKind::Done:
      return msg::kSiteResultDone;
    case SiteResultKind::Shown:
      return msg::kSiteResultShown;
    case SiteResultKind::NotRegistered:
      return msg::kSiteResultNotRegistered;
    case SiteResultKind::TemplateNotOpened:
      return msg::kSiteResultTemplateNotOpened;
    case SiteResultKind::PageNotWritten:
      return msg::kSiteResultPageNotWritten;
    case SiteResultKind::ConnectFailed:
      return msg::kSiteResultConnectFailed;
    case SiteResultKind::TransferRefused:
      return msg::kSiteResultTransferRefused;
    case SiteResultKind::TimedOut:
      return msg::kSiteResultTimedOut;
    case SiteResultKind::Cancelled:
      return msg::kSiteResultCancelled;
  }
  return "";
}

bool IsPublishOutcome(CheckOutcome outcome) {
  return outcome == CheckOutcome::Published || outcome == CheckOutcome::PartlyPublished ||
         outcome == CheckOutcome::PublishFailed;
}

std::string_view PublishResultWord(CheckOutcome outcome) {
  switch (outcome) {
    case CheckOutcome::Published:
      return "ok";
    case CheckOutcome::PartlyPublished:
      return "partial";
    case CheckOutcome::PublishFailed:
    case CheckOutcome::AddressNotFound:
    case CheckOutcome::Found:
    case CheckOutcome::Unchanged:
      return "failed";
  }
  return "failed";
}

std::vector<int> FailedSiteNumbers(const CheckReport& report) {
  std::vector<int> numbers;
  for (const SiteReport& site : report.sites)
    if (!SiteSucceeded(site.kind)) numbers.push_back(site.number);
  return numbers;
}

bool CheckFailed(const CheckReport& report) {
  for (const DnsTargetReport& target : report.dnsTargets)
    if (DnsTargetFailed(target.result)) return true;
  switch (report.outcome) {
    case CheckOutcome::AddressNotFound:
    case CheckOutcome::PartlyPublished:
    case CheckOutcome::PublishFailed:
      return true;
    case CheckOutcome::Found:
    case CheckOutcome::Unchanged:
    case CheckOutcome::Published:
      return false;
  }
  return true;
}

}  // namespace zepa2
