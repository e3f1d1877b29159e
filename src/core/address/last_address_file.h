// The last published address of the headless companion, kept between runs in the user's state folder.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace zepa2 {

// $XDG_STATE_HOME/ZEPA/last-address, or ~/.local/state/ZEPA/last-address when unset.
std::filesystem::path LastAddressFilePath();

// The stored address (CP932 bytes, possibly empty), or nothing when no address was stored yet.
std::optional<std::string> ReadLastAddress(const std::filesystem::path& file);

// Replaces the stored address atomically; "" on success, otherwise "<file>: <reason>".
std::string WriteLastAddress(const std::filesystem::path& file, const std::string& address);

}  // namespace zepa2
