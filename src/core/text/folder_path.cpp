#include "core/text/folder_path.h"

#include "core/text/cp932.h"
#include "core/text/messages.h"

namespace zepa2 {

std::string NormalizeStartPath(std::string_view path) {
  if (path.size() <= 1) return std::string(path);

  // Step by characters so that a trail byte 0x5C is never mistaken for a backslash.
  std::size_t previous = std::string_view::npos;
  std::size_t last = 0;
  for (std::size_t pos = 0; pos < path.size(); pos += CharLength(path, pos)) {
    previous = last;
    last = pos;
  }
  const bool lastIsSeparator = path.size() - last == 1 && (path[last] == '\\' || path[last] == '/');
  const bool followsColon = last - previous == 1 && path[previous] == ':';
  if (lastIsSeparator && !followsColon) return std::string(path.substr(0, last));
  return std::string(path);
}

std::string SelectedPathLine(std::string_view path) {
  std::string line = Cp932(msg::kSelectedPathFormat);
  line.replace(line.find("%s"), 2, path);
  if (line.size() > kSelectedPathLineLimit) line.resize(kSelectedPathLineLimit);
  return line;
}

}  // namespace zepa2
