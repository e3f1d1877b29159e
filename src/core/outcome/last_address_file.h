// The last published address of the headless companion, kept between runs in the user's state folder.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/settings/private_file_write.h"

namespace zepa2 {

// $XDG_STATE_HOME/ZEPA/last-address, or ~/.local/state/ZEPA/last-address when unset.
std::filesystem::path LastAddressFilePath();

// The stored address (CP932 bytes, possibly empty), or nothing when no address was stored yet. A
// file that is not a regular one or is larger than an address file can be reads as none, and
// refusal, when given, gets "<file>: <reason>" for the log.
std::optional<std::string> ReadLastAddress(const std::filesystem::path& file, std::string* refusal = nullptr);

// Replaces the stored address atomically; "" on success, otherwise "<file>: <reason>".
FileWriteResult WriteLastAddress(const std::filesystem::path& file, const std::string& address);

// $XDG_STATE_HOME/ZEPA/last-ipv6-address: the IPv6 address the stored pages carry, read and
// written as the last address is.
std::filesystem::path LastIpv6AddressFilePath();

// $XDG_STATE_HOME/ZEPA/owed-sites: the numbers of the sites that did not take the stored address,
// so that the next run publishes to them even when the address has not changed.
std::filesystem::path OwedSitesFilePath();

// The stored site numbers (1..5, in order); none when the file is missing or holds nothing valid,
// or is refused as the address file is.
std::vector<int> ReadOwedSites(const std::filesystem::path& file, std::string* refusal = nullptr);

// $XDG_STATE_HOME/ZEPA/told-failure: the body of the failure zepa2-check last told (empty once it
// recovered), so that the next run, a process of its own, neither tells it again nor misses its
// recovery; read and written as the last address is.
std::filesystem::path ToldFailureFilePath();

// The most an address or owed-sites file may hold: a few addresses' worth.
inline constexpr std::size_t kMaxAddressFileBytes = 4096;

// Replaces the stored site numbers atomically; "" on success, otherwise "<file>: <reason>".
FileWriteResult WriteOwedSites(const std::filesystem::path& file, const std::vector<int>& sites);

}  // namespace zepa2
