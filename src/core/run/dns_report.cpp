#include "core/run/dns_report.h"

#include "core/text/messages.h"

namespace zepa2 {

std::string_view DnsResultName(DnsResultKind kind) {
  switch (kind) {
    case DnsResultKind::Updated:
      return "updated";
    case DnsResultKind::AlreadyHeld:
      return "already-held";
    case DnsResultKind::Untouched:
      return "untouched";
    case DnsResultKind::Stopped:
      return "stopped";
    case DnsResultKind::Held:
      return "held";
    case DnsResultKind::Failed:
      return "failed";
    case DnsResultKind::Cancelled:
      return "cancelled";
  }
  return "failed";
}

const char* DnsResultText(DnsResultKind kind) {
  switch (kind) {
    case DnsResultKind::Updated:
      return msg::kDnsResultUpdated;
    case DnsResultKind::AlreadyHeld:
      return msg::kDnsResultAlreadyHeld;
    case DnsResultKind::Untouched:
      return msg::kDnsResultUntouched;
    case DnsResultKind::Stopped:
      return msg::kDnsResultStopped;
    case DnsResultKind::Held:
      return msg::kDnsResultHeld;
    case DnsResultKind::Failed:
      return msg::kDnsResultFailed;
    case DnsResultKind::Cancelled:
      return msg::kDnsResultCancelled;
  }
  return msg::kDnsResultFailed;
}

std::string_view DnsKindName(DnsKind kind) { return DnsKindRowOf(kind).statusName; }

}  // namespace zepa2
