// What a caller asks of one run, and the state a run starts from and leaves behind.
#pragma once

#include <string>
#include <vector>

#include "core/run/dns_target_state.h"

namespace zepa2 {

enum class RunMode {
  Publish,    // find the address and, when it changed (or the run is forced), upload the pages
  ShowPages,  // the same, but each page is shown instead of uploaded (the conversion test, --dry-run)
  FindOnly,   // find the address and stop: nothing compared, nothing published, the state unchanged
};

struct RunRequest {
  bool force = false;  // publish even an unchanged address
  RunMode mode = RunMode::Publish;
  std::vector<int> onlySites{};  // site numbers to handle; empty = every site in use
};

// What one run hands the next: the window keeps it in memory, zepa2-check in its state files.
struct RunState {
  std::string lastAddress;       // CP932: the address last handed to the sites; empty before any
  std::string lastIpv6Address;   // CP932: the IPv6 address that publish carried; empty for none
  std::vector<int> owedSites;    // sites that did not take the last address, ascending
  DnsTargetStates dnsTargets{};  // what each DNS target's provider took, and its stop or hold

  bool operator==(const RunState&) const = default;
};

}  // namespace zepa2
