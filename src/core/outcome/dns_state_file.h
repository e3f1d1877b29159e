// What each DNS target keeps between runs of zepa2-check: $XDG_STATE_HOME/ZEPA/dns-state.
#pragma once

#include <filesystem>
#include <string>

#include "core/settings/private_file_write.h"
#include "core/run/dns_target_state.h"

namespace zepa2 {

// $XDG_STATE_HOME/ZEPA/dns-state, or ~/.local/state/ZEPA/dns-state when unset.
std::filesystem::path DnsStateFilePath();

// The most the file may hold: five targets' worth with room to spare.
inline constexpr std::size_t kMaxDnsStateBytes = 16u << 10;

// The stored states; every target fresh when the file is missing, refused (as the address file is:
// not a regular file, oversized; refusal, when given, then gets "<file>: <reason>") or not ours.
// A value of the wrong type reads as its default, never as another target's.
DnsTargetStates ReadDnsState(const std::filesystem::path& file, std::string* refusal = nullptr);

// Replaces the file atomically (0600, folder 0700); "" on success, otherwise "<file>: <reason>".
FileWriteResult WriteDnsState(const std::filesystem::path& file, const DnsTargetStates& states);

}  // namespace zepa2
