// Reading a whole file as bytes.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace zepa2 {

// The file's bytes, or nothing when it cannot be opened or read (a folder included).
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file);

}  // namespace zepa2
