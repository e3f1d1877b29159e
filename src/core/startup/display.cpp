#include "core/startup/display.h"

#include <cstdlib>

namespace zepa2 {
namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

}  // namespace

bool DisplayConfigured() { return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM"); }

}  // namespace zepa2
