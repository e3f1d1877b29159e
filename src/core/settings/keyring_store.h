// The desktop keyring (the Secret Service, through libsecret): items with the attributes
// application=zepa2 and key=SECTION.KEY, so that secret-tool can read and write them too.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zepa2 {

struct KeyringAnswer {
  std::optional<std::string> secret;  // the stored secret (lookup), or "" after a store
  std::string problem;                // UTF-8 when there is none: missing, or why the keyring failed
};

// The secret stored for key.
KeyringAnswer LookUpKeyringSecret(std::string_view key);

// Stores (or replaces) the secret for key in the default collection.
KeyringAnswer StoreKeyringSecret(std::string_view key, std::string_view secret);

}  // namespace zepa2
