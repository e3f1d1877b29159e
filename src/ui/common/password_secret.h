// The dialogs' side of passwords kept outside the settings file: storing the typed one in the
// keyring ("キーリングに保存"), and looking a reference up for a connection test.
#pragma once

#include <optional>
#include <string>

class QWidget;

namespace zepa2::ui {

// Stores the typed password (CP932) in the keyring under key ("FTP.Pass1") and gives the
// reference to show in its place; nothing after a box that says why not (nothing typed, already
// a reference, no keyring).
std::optional<std::string> SavePasswordToKeyring(QWidget* dialog, const std::string& key,
                                                 const std::string& typed);

// The password a dialog's test sends for the field: a reference looked up off the UI thread (the
// keyring may take a moment), or nothing after a box that names the reference and why.
std::optional<std::string> PasswordForTest(QWidget* dialog, const std::string& stored,
                                           const std::string& key);

}  // namespace zepa2::ui
