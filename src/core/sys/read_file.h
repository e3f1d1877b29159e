// Reading a whole file as bytes.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace zepa2 {

// The file's bytes, or nothing when it cannot be opened or read (a folder included).
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file);

// What reading a state file came to: the bytes, no file at all, or a file that is not one of ours to
// read (a FIFO, a device, a folder, a file over the cap, an unreadable one), with why in English.
struct BoundedRead {
  enum class Kind { Read, Absent, Refused };
  Kind kind = Kind::Absent;
  std::string bytes;
  std::string reason;  // Refused: why

  bool read() const { return kind == Kind::Read; }
};

// Reads a regular file of at most maxBytes whole, as ReadRegularFile does, telling a missing file
// from a refused one: opening never waits (a FIFO has no writer to wait for) and nothing is read
// from anything but a regular file.
BoundedRead ReadBoundedFile(const std::filesystem::path& file, std::size_t maxBytes);

// The bytes of a regular file of at most maxBytes, read to its end; nothing on any failure, so a
// half-read file never passes for a whole one. A FIFO or a device is refused before anything is
// read from it, and opening it never waits for a writer.
std::optional<std::string> ReadRegularFile(const std::filesystem::path& file, std::size_t maxBytes);

}  // namespace zepa2
