// Secrets kept out of the settings file: a password or token field may name where the secret is
// (the desktop keyring, a systemd credential, a private file, an environment variable) instead of
// holding it. The reference is resolved only when a run needs the secret and never written back.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zepa2 {

enum class SecretSource {
  Keyring,     // "keyring:": the Secret Service item with application=zepa2, key=SECTION.KEY
  Credential,  // "credential:NAME": $CREDENTIALS_DIRECTORY/NAME, as systemd's LoadCredential= makes it
  File,        // "file:PATH": the first line of a regular file of the user's that no one else can read
  Env,         // "env:NAME": the environment variable
};

struct SecretReference {
  SecretSource source;
  std::string name;  // the credential, path or variable; empty for the keyring
};

// The reference a field holds; nothing when the field holds the secret itself (an old file's
// password, or empty).
std::optional<SecretReference> ParseSecretReference(std::string_view stored);

// Why a reference can never resolve (no name, a relative path, a credential name with a slash);
// nothing for a well-formed reference or a secret itself. UTF-8.
std::optional<std::string> SecretReferenceProblem(std::string_view stored);

struct ResolvedSecret {
  std::optional<std::string> secret;  // the bytes to send; never empty when present
  std::string problem;                // UTF-8, when there is no secret: why
};

// Looks the secret of the field `key` ("FTP.Pass1") up. A field that is no reference is its own
// secret and always resolves, an empty one included (a server without a password).
ResolvedSecret ResolveSecret(std::string_view stored, std::string_view key);

// The activity-log line (CP932) for a secret that could not be had: names the field and the
// reference, never a secret.
std::string UnresolvedSecretLogLine(std::string_view key, std::string_view stored,
                                    const std::string& problem);

}  // namespace zepa2
