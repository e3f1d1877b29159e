// The meaning of a log line's colour as a word, for logs read without colour (journal, grep).
#pragma once

#include <string_view>

#include "core/log/log_color.h"

namespace zepa2 {

// black → "info", green → "ok", red → "error", the special colours → "note".
constexpr std::string_view LogLevelWord(LogColor color) {
  switch (color) {
    case log_color::kBlack:
      return "info";
    case log_color::kGreen:
      return "ok";
    case log_color::kRed:
      return "error";
    default:
      return "note";
  }
}

}  // namespace zepa2
