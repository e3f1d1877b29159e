// What one update request to a provider came to.
#pragma once

#include <string>

#include "core/net/outcome.h"

namespace zepa2 {

enum class DnsAnswerKind {
  Taken,        // the provider took the address
  AlreadyHeld,  // the provider held the address already (dyndns2 "nochg", a record's content)
  Stopping,     // a code after which nothing more is sent until the target's settings change
  Holding,      // the provider's outage: nothing more is sent for kDnsHoldTime
  Failed,       // no answer, or not a success: tried again at the next check
  Cancelled,    // the run was stopped
};

struct DnsAnswer {
  DnsAnswerKind kind = DnsAnswerKind::Failed;
  std::string code{};    // the provider's result code (dyndns2), else empty
  std::string reason{};  // UTF-8: why it failed, with the provider's or libcurl's own words; else empty
  net::KeyTrouble key = net::KeyTrouble::None;

  bool succeeded() const { return kind == DnsAnswerKind::Taken || kind == DnsAnswerKind::AlreadyHeld; }
};

// Which of two answers says more about a target: a stop outweighs a hold, a hold a failure, a
// failure a success, and an address taken one already held.
inline int AnswerGravity(DnsAnswerKind kind) {
  switch (kind) {
    case DnsAnswerKind::AlreadyHeld:
      return 0;
    case DnsAnswerKind::Taken:
      return 1;
    case DnsAnswerKind::Failed:
      return 2;
    case DnsAnswerKind::Cancelled:
      return 2;
    case DnsAnswerKind::Holding:
      return 3;
    case DnsAnswerKind::Stopping:
      return 4;
  }
  return 4;
}

}  // namespace zepa2
