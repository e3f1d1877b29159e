#include "cli/console_host.h"

#include <string>

#include "core/log/log_stamp.h"
#include "core/sys/read_file.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"

namespace zepa2::cli {

void ConsoleHost::AppendLog(const std::string& text, LogColor color) {
  WriteLine(Cp932ToUtf8(MakeLogLine(Now(), text)), color);
}

void ConsoleHost::AppendFailureLog(const std::string& text, LogColor color, const std::string& reason) {
  std::string line = Cp932ToUtf8(MakeLogLine(Now(), text));
  if (!reason.empty()) line += msg::kReasonFollows + reason;
  WriteLine(line, color);
}

void ConsoleHost::WriteLine(const std::string& utf8Text, LogColor color) {
  const std::string line = PlainLogLine(utf8Text, color);
  std::fwrite(line.data(), 1, line.size(), out_);
  std::fflush(out_);
}

bool ConsoleHost::ShowGeneratedPage(const std::filesystem::path& pageFile) {
  const std::optional<std::string> page = ReadWholeFile(pageFile);
  if (!page) {
    AppendLog(Cp932(msg::kTempPageNotOpened), log_color::kRed);
    return false;
  }
  const std::string utf8 = Cp932ToUtf8(*page);
  std::fwrite(utf8.data(), 1, utf8.size(), out_);
  if (!utf8.empty() && utf8.back() != '\n') std::fputc('\n', out_);
  std::fflush(out_);
  return true;
}

}  // namespace zepa2::cli
