// Text bound for a protocol line (an FTP command, an HTTP request or header) must hold no CR, LF or NUL.
#pragma once

#include <string_view>

namespace zepa2::net {

// False when the text holds CR, LF or NUL: each ends a protocol line early, and what follows
// would reach the server as a command or header line of its own.
bool IsProtocolText(std::string_view text);

}  // namespace zepa2::net
