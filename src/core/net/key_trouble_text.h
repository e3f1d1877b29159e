// The activity-log line that says why a server was refused for its key.
#pragma once

#include <string>

#include "core/net/transfer_mode.h"

namespace zepa2::net {

// server + the reason in the log's words (CP932); empty when there is no trouble.
std::string KeyTroubleLogLine(const std::string& server, KeyTrouble key, TransferMode mode);

}  // namespace zepa2::net
