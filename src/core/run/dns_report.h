// Each DNS target's part of a check's report, beside the sites.
#pragma once

#include <string>
#include <string_view>

#include "core/settings/app_settings.h"

namespace zepa2 {

enum class DnsResultKind {
  Updated,      // the provider took the address
  AlreadyHeld,  // the provider held the address already
  Untouched,    // nothing sent: the provider took this address before
  Stopped,  // a provider's code stopped the target (now or before): nothing is sent until its settings change
  Held,     // a provider's outage is waited out (now or before): nothing is sent until the hold ends
  Failed,   // no answer, a refused one or an unknown kind: tried again at the next check
  Cancelled,  // the run was stopped
};

struct DnsTargetReport {
  int number = 0;  // 1..5
  DnsKind kind = DnsKind::None;
  std::string hosts{};  // CP932: the names, as in the settings
  DnsResultKind result = DnsResultKind::Failed;
  std::string code{};     // the provider's result code, when it gave one
  std::string reason{};   // UTF-8: why it failed (with the provider's or libcurl's words); else empty
  bool needless = false;  // an unforced update the provider already held: a needless request went out
  bool sent = false;      // this run asked the provider (false: untouched, still stopped or held, not in use)
};

// Stopped, held, failed and cancelled targets count as failures for the exit status and the hook.
inline bool DnsTargetFailed(DnsResultKind kind) {
  return kind == DnsResultKind::Stopped || kind == DnsResultKind::Held || kind == DnsResultKind::Failed ||
         kind == DnsResultKind::Cancelled;
}

// "updated", "already-held", "untouched", "stopped", "held", "failed", "cancelled".
std::string_view DnsResultName(DnsResultKind kind);
// What a person reads for it, UTF-8.
const char* DnsResultText(DnsResultKind kind);
// "url", "dyndns2", "cloudflare" ("none" for no kind).
std::string_view DnsKindName(DnsKind kind);

}  // namespace zepa2
