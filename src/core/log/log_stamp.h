// Activity-log lines: the local-time stamp put in front of every message, the plain-text line form
// and the list's size limit.
#pragma once

#include <ctime>
#include <string>

#include "core/log/log_color.h"

namespace zepa2 {

// "YYYY/MM/DD hh:mm:ss::" in local time, 24-hour clock.
std::string FormatLogStamp(std::time_t when);

// The stamp followed by the message bytes, unchanged.
std::string MakeLogLine(std::time_t when, const std::string& text);

// A line for logs read without colour (standard output, the journal, the log file): the level word
// of its colour padded to five, then the stamped UTF-8 text with its control bytes escaped, so one
// message is always one line, ending in "\n".
std::string PlainLogLine(const std::string& utf8Text, LogColor color);

// When an added line brings the list to kLogTrimAt lines, the kLogTrimCount oldest go at once.
inline constexpr int kLogTrimAt = 1000;
inline constexpr int kLogTrimCount = 10;

// How many of the oldest lines to drop from a list that now holds lineCount lines.
constexpr int LogLinesToDrop(int lineCount) { return lineCount >= kLogTrimAt ? kLogTrimCount : 0; }

}  // namespace zepa2
