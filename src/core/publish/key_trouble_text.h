// The activity-log line that says why a server was refused for its key.
#pragma once

#include <string>

#include "core/net/outcome.h"
#include "core/net/transfer_mode.h"

namespace zepa2 {

// server + the reason in the log's words (CP932); empty when there is no trouble. keyKind: what
// the server proves itself with (an SSH host key has no store to check it against).
std::string KeyTroubleLogLine(const std::string& server, net::KeyTrouble key, net::PinnedKeyKind keyKind);

}  // namespace zepa2
