// The window's activity log kept on disk beyond the window's life: $XDG_STATE_HOME/ZEPA/zepa2.log.
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>

#include "core/log/log_color.h"

namespace zepa2 {

// A file that would grow past this many bytes is rotated first.
inline constexpr std::uintmax_t kLogFileRotateBytes = 1u << 20;
// Rotated files kept: zepa2.log.1 (the newest) to zepa2.log.3.
inline constexpr int kLogFileKeptOld = 3;

// $XDG_STATE_HOME/ZEPA/zepa2.log, or ~/.local/state/ZEPA/zepa2.log when unset.
std::filesystem::path LogFilePath();

// Appends one log line (CP932 text; PlainLogLine form, UTF-8, stamped with `when`). The folder is
// made 0700 and a new file 0600. When the line would take the file past rotateBytes, the file
// becomes <file>.1 first, the older ones move up one and the oldest beyond kLogFileKeptOld goes.
// "" on success, otherwise "<file>: <reason>" (the line is then lost, the program goes on).
std::string AppendLogFileLine(const std::filesystem::path& file, std::time_t when,
                              const std::string& cp932Text, LogColor color,
                              std::uintmax_t rotateBytes = kLogFileRotateBytes);

}  // namespace zepa2
