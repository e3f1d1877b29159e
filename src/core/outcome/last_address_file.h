// The last published address of the headless companion, kept between runs in the user's state folder.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zepa2 {

// $XDG_STATE_HOME/ZEPA/last-address, or ~/.local/state/ZEPA/last-address when unset.
std::filesystem::path LastAddressFilePath();

// The stored address (CP932 bytes, possibly empty), or nothing when no address was stored yet.
std::optional<std::string> ReadLastAddress(const std::filesystem::path& file);

// Replaces the stored address atomically; "" on success, otherwise "<file>: <reason>".
std::string WriteLastAddress(const std::filesystem::path& file, const std::string& address);

// $XDG_STATE_HOME/ZEPA/last-ipv6-address: the IPv6 address the stored pages carry, read and
// written as the last address is.
std::filesystem::path LastIpv6AddressFilePath();

// $XDG_STATE_HOME/ZEPA/owed-sites: the numbers of the sites that did not take the stored address,
// so that the next run publishes to them even when the address has not changed.
std::filesystem::path OwedSitesFilePath();

// The stored site numbers (1..5, in order); none when the file is missing or holds nothing valid.
std::vector<int> ReadOwedSites(const std::filesystem::path& file);

// Replaces the stored site numbers atomically; "" on success, otherwise "<file>: <reason>".
std::string WriteOwedSites(const std::filesystem::path& file, const std::vector<int>& sites);

}  // namespace zepa2
