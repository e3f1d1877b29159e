#include "support/recording_check_host.h"

#include <ostream>

#include "core/text/cp932.h"

namespace zepa2::test {

void RecordingCheckHost::AppendLog(const std::string& text, LogColor color) {
  rawLines.push_back(text);
  lines.push_back({Cp932ToUtf8(text), color});
}

void RecordingCheckHost::SetBusy(bool busy) {
  busyDepth += busy ? 1 : -1;
  if (busy) ++busyEntries;
}

void PrintTo(const LoggedLine& line, std::ostream* os) {
  *os << "{\"" << line.text << "\", 0x" << std::hex << line.color << std::dec << "}";
}

}  // namespace zepa2::test
