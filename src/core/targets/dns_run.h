// A check's DNS step: each target decided, updated when it must be, logged and reported.
#pragma once

#include <ctime>
#include <vector>

#include "core/run/check_host.h"
#include "core/run/dns_report.h"
#include "core/run/dns_target_state.h"
#include "core/net/http_get.h"
#include "core/settings/app_settings.h"

namespace zepa2 {

struct DnsRunResult {
  std::vector<DnsTargetReport> targets;  // the targets in use, in order
  DnsTargetStates states;                // what each target keeps for the next run
};

// One target after another; a bad answer from one never keeps the next from its update. Each
// writes its lines through host. http carries the run's time-outs and stop flag.
DnsRunResult UpdateDnsTargets(const std::array<DnsTarget, kDnsSlots>& targets, const DnsTargetStates& states,
                              const DnsAddresses& addresses, bool force, std::time_t now, CheckHost& host,
                              const net::HttpGetOptions& http);

// The settings dialog's test: one update of target number now, as a forced run would send it to a
// target with nothing remembered, through the same code and lines.
DnsTargetReport UpdateDnsTargetNow(int number, const DnsTarget& target, const DnsAddresses& addresses,
                                   std::time_t now, CheckHost& host, const net::HttpGetOptions& http);

// Whether any target in use keeps AAAA records (the run then needs this machine's IPv6 address).
bool AnyDnsTargetNeedsIpv6(const std::array<DnsTarget, kDnsSlots>& targets);

}  // namespace zepa2
