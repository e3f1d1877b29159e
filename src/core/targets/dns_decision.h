// When a DNS target is sent an update, and what it remembers after one: pure rules, no network.
#pragma once

#include <chrono>
#include <ctime>
#include <string>

#include "core/targets/dns_answer.h"
#include "core/run/dns_target_state.h"

namespace zepa2 {

// A provider's outage ("dnserr", "911") is waited out this long, whatever happens meanwhile.
inline constexpr std::chrono::minutes kDnsHoldTime{30};

enum class DnsVerdict {
  Send,       // an update goes out for the families marked
  Untouched,  // the provider holds this run's address already: nothing is sent
  Stopped,    // stopped by a provider's code under these settings: nothing is sent
  Held,       // within a provider's outage hold: nothing is sent
};

struct DnsDecision {
  DnsVerdict verdict = DnsVerdict::Untouched;
  bool sendA = false;
  bool sendAaaa = false;
};

// A stamp of every value of the target (a digest, so that the state file holds no password).
std::string DnsSettingsStamp(const DnsTarget& target);

// Never needlessly: a target is sent its address when its settings are new, when the address
// (of a family it keeps) differs from what the provider last took (an owed update after a
// failure has none taken), or when the run is forced; never while stopped under the same
// settings (force or not), and never within a hold (even with a new address or force).
DnsDecision DecideDnsUpdate(const DnsTargetState& state, const std::string& stamp, DnsRecords records,
                            const DnsAddresses& addresses, bool force, std::time_t now);

// The state after one family's answer: what the provider took, or the stop, hold or debt it left.
DnsTargetState DnsStateAfter(DnsTargetState state, const std::string& stamp, DnsFamily family,
                             const std::string& address, const DnsAnswer& answer, std::time_t now);

}  // namespace zepa2
