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
// of its colour padded to five, the stamp and the text, in UTF-8, ending in one "\n". Line breaks
// inside the text become spaces, so one message is always one line.
std::string PlainLogLine(std::time_t when, const std::string& cp932Text, LogColor color);

// When an added line brings the list to kLogTrimAt lines, the kLogTrimCount oldest go at once.
inline constexpr int kLogTrimAt = 1000;
inline constexpr int kLogTrimCount = 10;

// How many of the oldest lines to drop from a list that now holds lineCount lines.
constexpr int LogLinesToDrop(int lineCount) { return lineCount >= kLogTrimAt ? kLogTrimCount : 0; }

}  // namespace zepa2
