#include "core/startup/command_line.h"

#include <strings.h>

namespace zepa2 {
namespace {

bool IsQuietStartSwitch(const std::string& arg) {
  if (arg.size() < 2 || (arg[0] != '-' && arg[0] != '/')) return false;
  const char* word = arg.c_str() + 1;
  // Switches are matched without regard to case, as the desktop launchers write them either way.
  return strcasecmp(word, "Embedding") == 0 || strcasecmp(word, "Automation") == 0;
}

}  // namespace

bool SplashAllowedByCommandLine(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (IsQuietStartSwitch(arg)) return false;
  }
  return true;
}

}  // namespace zepa2
