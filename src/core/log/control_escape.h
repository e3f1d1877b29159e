// Log text for a terminal or a log file: control bytes shown as text, so one entry stays one line.
#pragma once

#include <string>
#include <string_view>

namespace zepa2 {

// Every byte below 0x20 and 0x7F as "\xHH" (ESC becomes the four characters "\x1b"); other bytes,
// UTF-8 sequences included, pass unchanged. Text from a router's page can then neither forge a
// log line nor send escape sequences to the terminal.
std::string EscapeControlBytes(std::string_view text);

}  // namespace zepa2
