// Log text for a terminal or a log file: control bytes shown as text, so one entry stays one line.
#pragma once

#include <string>
#include <string_view>

namespace zepa2 {

// Every byte below 0x20, 0x7F and every byte that is not part of well-formed UTF-8 as "\xHH" (ESC
// becomes the four characters "\x1b"); well-formed UTF-8 passes unchanged. Text from a router's
// page can then neither forge a log line, send escape sequences to the terminal, nor leave bytes
// that a reader of the output would choke on.
std::string EscapeControlBytes(std::string_view text);

}  // namespace zepa2
