// A check session that keeps the state between runs in memory, as the window does.
#pragma once

#include <string>
#include <vector>

#include "core/check/check_session.h"

namespace zepa2::test {

class StatefulCheck {
 public:
  StatefulCheck(const AppSettings& settings, CheckHost& host, Publisher& publisher,
                CheckSessionOptions options = {})
      : session_(settings, host, publisher, std::move(options)) {}

  // A timed (or forced) run that publishes; the state it leaves is kept for the next.
  CheckReport RunAddressCheck(bool force) { return Run({.force = force}); }
  CheckReport Run(const RunRequest& request) {
    last_ = session_.Run(request, state);
    state = last_.state;
    return last_;
  }
  CheckReport FindAddress() { return session_.Run({.mode = RunMode::FindOnly}, state); }

  const std::string& lastAddress() const { return state.lastAddress; }
  const std::string& lastIpv6Address() const { return state.lastIpv6Address; }
  const std::vector<int>& owedSites() const { return state.owedSites; }
  const std::string& routerPageText() const { return last_.routerPageText; }

  RunState state;

 private:
  CheckSession session_;
  CheckReport last_;
};

}  // namespace zepa2::test
