#include "core/log/log_stamp.h"

#include <algorithm>

#include "core/log/log_level.h"
#include "core/text/cp932.h"

namespace zepa2 {

std::string FormatLogStamp(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char buffer[32];
  std::size_t n = std::strftime(buffer, sizeof buffer, "%Y/%m/%d %H:%M:%S::", &local);
  return std::string(buffer, n);
}

std::string MakeLogLine(std::time_t when, const std::string& text) {
  return FormatLogStamp(when) + text;
}

std::string PlainLogLine(std::time_t when, const std::string& cp932Text, LogColor color) {
  std::string level(LogLevelWord(color));
  level.resize(5, ' ');
  std::string line = level + " " + Cp932ToUtf8(MakeLogLine(when, cp932Text));
  std::replace_if(line.begin(), line.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
  return line + "\n";
}

}  // namespace zepa2
