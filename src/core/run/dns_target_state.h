// What a DNS target keeps between runs, and the addresses a run offers it.
#pragma once

#include <array>
#include <ctime>
#include <string>

#include "core/settings/app_settings.h"

namespace zepa2 {

// One target's memory: what the provider last took, and whether it must not be asked again yet.
struct DnsTargetState {
  // The settings this state was made under (DnsSettingsStamp); another stamp starts the target
  // afresh: a stopped target wakes, a new name is sent its address.
  std::string settingsStamp{};
  std::string address{};      // CP932: the IPv4 address the provider took; empty = none or owed
  std::string ipv6Address{};  // CP932: the IPv6 address it took; empty = none or owed
  std::string stopCode{};     // the provider's code that stopped the target; empty = not stopped
  // SecretFingerprint of the secret a stopped target's reference gave when it stopped: another
  // secret behind the same reference is tried once. Empty = not known.
  std::string secretStamp{};
  std::time_t holdUntil = 0;  // no request before this time (a provider's outage); 0 = none

  bool operator==(const DnsTargetState&) const = default;
};

using DnsTargetStates = std::array<DnsTargetState, kDnsSlots>;

// The addresses of one run, CP932: the IPv4 address in its dotted form, the IPv6 one or empty.
struct DnsAddresses {
  std::string ipv4{};
  std::string ipv6{};
};

// The two kinds of record a name may have.
enum class DnsFamily { A, Aaaa };

}  // namespace zepa2
