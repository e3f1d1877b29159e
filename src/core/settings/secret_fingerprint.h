// Whether the secret behind a reference has changed, known without keeping the secret anywhere.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zepa2 {

// The key file beside the state files: random bytes made at the first need, 0600.
std::filesystem::path SecretFingerprintKeyFile();

// A keyed SHA-256 of the secret (hex): equal for equal secrets under one key, and of no use for
// guessing the secret without the key. Nothing when the key can be neither read nor made.
std::optional<std::string> SecretFingerprint(
    std::string_view secret, const std::filesystem::path& keyFile = SecretFingerprintKeyFile());

}  // namespace zepa2
