#include "core/log/log_stamp.h"

#include "core/log/control_escape.h"
#include "core/log/log_level.h"

namespace zepa2 {

std::string FormatLogStamp(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char buffer[32];
  std::size_t n = std::strftime(buffer, sizeof buffer, "%Y/%m/%d %H:%M:%S::", &local);
  return std::string(buffer, n);
}

std::string MakeLogLine(std::time_t when, const std::string& text) { return FormatLogStamp(when) + text; }

std::string PlainLogLine(const std::string& utf8Text, LogColor color) {
  std::string level(LogLevelWord(color));
  level.resize(5, ' ');
  return level + " " + EscapeControlBytes(utf8Text) + "\n";
}

}  // namespace zepa2
