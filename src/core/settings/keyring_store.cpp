#include "core/settings/keyring_store.h"

#include <dlfcn.h>
#include <libsecret/secret.h>

#include <mutex>

#include "core/text/messages.h"

namespace zepa2 {
namespace {

// libsecret is opened when a keyring reference is first met, not linked: zepa2-check on a
// server without a desktop then needs neither it nor GLib, and only a keyring reference fails
// there, with its own line.
using LookupFunction = gchar* (*)(const SecretSchema*, GCancellable*, GError**, ...);
using StoreFunction = gboolean (*)(const SecretSchema*, const gchar*, const gchar*, const gchar*,
                                   GCancellable*, GError**, ...);
using FreeFunction = void (*)(gchar*);
using ErrorFreeFunction = void (*)(GError*);

struct Libsecret {
  LookupFunction lookup = nullptr;
  StoreFunction store = nullptr;
  FreeFunction freePassword = nullptr;
  ErrorFreeFunction freeError = nullptr;
  std::string problem;  // why it could not be opened

  bool usable() const { return lookup && store && freePassword && freeError; }
};

const Libsecret& OpenLibsecret() {
  static Libsecret library;
  static std::once_flag opened;
  std::call_once(opened, [] {
    // Kept open for the life of the process: GLib's types cannot be unloaded again.
    void* handle = ::dlopen("libsecret-1.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      const char* why = ::dlerror();
      library.problem = why ? why : "libsecret-1.so.0";
      return;
    }
    library.lookup = reinterpret_cast<LookupFunction>(::dlsym(handle, "secret_password_lookup_sync"));
    library.store = reinterpret_cast<StoreFunction>(::dlsym(handle, "secret_password_store_sync"));
    library.freePassword = reinterpret_cast<FreeFunction>(::dlsym(handle, "secret_password_free"));
    library.freeError = reinterpret_cast<ErrorFreeFunction>(::dlsym(handle, "g_error_free"));
    if (!library.usable()) library.problem = "libsecret-1.so.0: a function is missing";
  });
  return library;
}

// Matched by attributes alone (not by schema name), so an item stored with secret-tool, whose
// schema is the generic one, is found too.
const SecretSchema kSchema = {
    "io.github.zepa2.Password",
    SECRET_SCHEMA_DONT_MATCH_NAME,
    {{"application", SECRET_SCHEMA_ATTRIBUTE_STRING}, {"key", SECRET_SCHEMA_ATTRIBUTE_STRING}, {nullptr, {}}},
    0,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr};

constexpr const char* kApplication = "zepa2";

std::string Unavailable(const Libsecret& library, GError* error) {
  std::string text = std::string(msg::kSecretKeyringUnavailable) + ": ";
  if (error) {
    text += error->message ? error->message : "?";
    library.freeError(error);
  } else {
    text += library.problem;
  }
  return text;
}

}  // namespace

KeyringAnswer LookUpKeyringSecret(std::string_view key) {
  const Libsecret& library = OpenLibsecret();
  if (!library.usable()) return {std::nullopt, Unavailable(library, nullptr)};
  const std::string keyText(key);
  GError* error = nullptr;
  gchar* secret = library.lookup(&kSchema, nullptr, &error, "application", kApplication, "key",
                                 keyText.c_str(), static_cast<const char*>(nullptr));
  if (error) return {std::nullopt, Unavailable(library, error)};
  if (!secret) return {std::nullopt, msg::kSecretKeyringMissing};
  std::string found(secret);
  library.freePassword(secret);  // wipes the library's copy
  return {std::move(found), {}};
}

KeyringAnswer StoreKeyringSecret(std::string_view key, std::string_view secret) {
  const Libsecret& library = OpenLibsecret();
  if (!library.usable()) return {std::nullopt, Unavailable(library, nullptr)};
  const std::string keyText(key);
  const std::string label = "ZEPA2 " + keyText;
  const std::string secretText(secret);
  GError* error = nullptr;
  const gboolean stored =
      library.store(&kSchema, SECRET_COLLECTION_DEFAULT, label.c_str(), secretText.c_str(), nullptr, &error,
                    "application", kApplication, "key", keyText.c_str(), static_cast<const char*>(nullptr));
  if (error || !stored) return {std::nullopt, Unavailable(library, error)};
  return {std::string(), {}};
}

}  // namespace zepa2
