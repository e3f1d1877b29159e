#include "core/run/check_report.h"

namespace zepa2 {

SiteResultKind SiteResultOf(net::OutcomeKind kind) {
  switch (kind) {
    case net::OutcomeKind::Done:
      return SiteResultKind::Done;
    case net::OutcomeKind::TransferRefused:
      return SiteResultKind::TransferRefused;
    case net::OutcomeKind::ConnectFailed:
      return SiteResultKind::ConnectFailed;
    case net::OutcomeKind::TimedOut:
      return SiteResultKind::TimedOut;
    case net::OutcomeKind::Cancelled:
      return SiteResultKind::Cancelled;
  }
  return SiteResultKind::ConnectFailed;
}

}  // namespace zepa2
