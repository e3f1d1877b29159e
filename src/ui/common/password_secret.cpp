#include "ui/common/password_secret.h"

#include <QString>

#include "core/settings/keyring_store.h"
#include "core/settings/secret_reference.h"
#include "core/text/cp932.h"
#include "core/text/fill_message.h"
#include "core/text/messages.h"
#include "ui/common/message_box.h"
#include "ui/common/off_ui_thread.h"

namespace zepa2::ui {

std::optional<std::string> SavePasswordToKeyring(QWidget* dialog, const std::string& key,
                                                 const std::string& typed) {
  if (typed.empty() || ParseSecretReference(typed)) {
    ShowMessage(dialog, QString::fromUtf8(msg::kKeyringNothingToSave), MessageButtons::Ok,
                MessageIcon::Exclamation);
    return std::nullopt;
  }
  // The keyring holds text: the typed CP932 goes in as UTF-8 and comes back as the same CP932.
  const std::string secret = Cp932ToUtf8(typed);
  const KeyringAnswer stored = RunOffUiThread<KeyringAnswer>(
      dialog, [&](const StopToken&) { return StoreKeyringSecret(key, secret); }, msg::kStepAskingKeyring);
  if (!stored.secret) {
    ShowMessage(dialog, QString::fromUtf8(FillMessage(msg::kKeyringSaveFailed, stored.problem)),
                MessageButtons::Ok, MessageIcon::Exclamation);
    return std::nullopt;
  }
  ShowMessage(dialog, QString::fromUtf8(msg::kKeyringSaved), MessageButtons::Ok, MessageIcon::Information);
  return std::string("keyring:");
}

std::optional<std::string> PasswordForTest(QWidget* dialog, const std::string& stored,
                                           const std::string& key) {
  if (!ParseSecretReference(stored)) return stored;
  ResolvedSecret resolved = RunOffUiThread<ResolvedSecret>(
      dialog, [&](const StopToken&) { return ResolveSecret(stored, key); }, msg::kStepAskingKeyring);
  if (resolved.secret) return std::move(resolved.secret);
  ShowMessage(
      dialog,
      QString::fromUtf8(FillMessage(msg::kSecretUnresolved, key, Cp932ToUtf8(stored), resolved.problem)),
      MessageButtons::Ok, MessageIcon::Exclamation);
  return std::nullopt;
}

}  // namespace zepa2::ui
