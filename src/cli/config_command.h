// zepa2-check config: the settings listed, read and set from a shell (a server has no window),
// through the window's own rules and file code.
#pragma once

#include <string>
#include <vector>

namespace zepa2::cli {

// Runs `zepa2-check config ARGS...` (args: what follows "config"); returns the exit status:
// 0 done, 1 the file or keyring could not be written, 2 a usage error or a refused value.
int RunConfigCommand(const std::vector<std::string>& args);

}  // namespace zepa2::cli
