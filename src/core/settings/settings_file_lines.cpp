#include "core/settings/settings_file_lines.h"

#include <sstream>
#include <string_view>

#include "core/sys/read_file.h"

namespace zepa2 {
namespace {

// Hands out the file's lines one by one, cutting any line at kMaxSettingsLineBytes.
class BoundedLineReader {
 public:
  explicit BoundedLineReader(std::istream& in) : in_(in) {}

  // False at the end of the input. overlong is set when the line was cut.
  bool Next(std::string& line, bool& overlong) {
    line.clear();
    overlong = false;
    bool any = false;
    for (int c; (c = in_.get()) != std::char_traits<char>::eof();) {
      any = true;
      if (c == '\n') return true;
      if (line.size() < kMaxSettingsLineBytes) line += static_cast<char>(c);
      else overlong = true;
    }
    return any;
  }

 private:
  std::istream& in_;
};

class LineParser {
 public:
  explicit LineParser(SettingsFileLines& result) : result_(result) {}

  void Take(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == ';' || line.front() == '#') return;
    if (line.front() == '[') {
      if (line.size() < 2 || line.back() != ']') {
        result_.hadUnreadableLines = true;
        return;
      }
      section_ = std::string(line.substr(1, line.size() - 2));
      return;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || equals == 0) {
      result_.hadUnreadableLines = true;
      return;
    }
    std::pair<std::string, std::string> key{section_, std::string(line.substr(0, equals))};
    if (result_.values.insert_or_assign(key, std::string(line.substr(equals + 1))).second)
      result_.order.push_back(std::move(key));
  }

 private:
  SettingsFileLines& result_;
  std::string section_;
};

}  // namespace

SettingsFileLines ReadSettingsFileLines(const std::filesystem::path& file) {
  SettingsFileLines result;
  // Read like every file the program keeps: a FIFO or a device there is never waited on, and holds
  // no settings; neither does a folder or a file far larger than any settings file.
  BoundedRead read = ReadBoundedFile(file, kMaxSettingsFileBytes);
  if (!read.read()) return result;
  std::istringstream in(std::move(read.bytes));
  result.found = true;
  BoundedLineReader reader(in);
  LineParser parser(result);
  std::string line;
  bool overlong = false;
  while (reader.Next(line, overlong)) {
    if (overlong) result.hadUnreadableLines = true;
    else parser.Take(line);
  }
  return result;
}

}  // namespace zepa2
