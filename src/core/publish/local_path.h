// A file path from the settings (CP932 bytes) as a path of this system, whose names are UTF-8.
#pragma once

#include <filesystem>
#include <string>

namespace zepa2 {

// The path decoded to UTF-8 when the bytes are clean CP932; otherwise the bytes as they stand, so
// a path that was stored in the file system's own encoding still opens.
std::filesystem::path LocalPath(const std::string& cp932Path);

}  // namespace zepa2
