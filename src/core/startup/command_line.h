// What the command line may change: only whether the start-up picture is shown.
#pragma once

#include <string>
#include <vector>

namespace zepa2 {

// False when an argument is an embedded or automated start ("-Embedding", "/Automation", ...);
// every other argument is ignored. args excludes the program name.
bool SplashAllowedByCommandLine(const std::vector<std::string>& args);

}  // namespace zepa2
