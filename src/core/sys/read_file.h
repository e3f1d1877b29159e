// Reading a whole file as bytes.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace zepa2 {

// The file's bytes, or nothing when it cannot be opened or read (a folder included).
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file);

// The bytes of a regular file of at most maxBytes, read to its end; nothing on any failure, so a
// half-read file never passes for a whole one. A FIFO or a device is refused before anything is
// read from it, and opening it never waits for a writer.
std::optional<std::string> ReadRegularFile(const std::filesystem::path& file, std::size_t maxBytes);

}  // namespace zepa2
