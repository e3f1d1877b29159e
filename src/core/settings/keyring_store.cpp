#include "core/settings/keyring_store.h"

#include "core/text/messages.h"

namespace zepa2 {

KeyringAnswer LookUpKeyringSecret(std::string_view) { return {std::nullopt, msg::kSecretKeyringUnavailable}; }

KeyringAnswer StoreKeyringSecret(std::string_view, std::string_view) {
  return {std::nullopt, msg::kSecretKeyringUnavailable};
}

}  // namespace zepa2
