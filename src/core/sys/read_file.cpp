#include "core/sys/read_file.h"

#include <fstream>
#include <iterator>

namespace zepa2 {

std::optional<std::string> ReadWholeFile(const std::filesystem::path& file) {
  std::error_code ec;
  if (std::filesystem::is_directory(file, ec)) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes(std::istreambuf_iterator<char>(in), {});
  if (in.bad()) return std::nullopt;
  return bytes;
}

}  // namespace zepa2
