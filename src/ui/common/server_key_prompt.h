// Trust on first use in the dialogs: a server key that cannot be verified is shown for the user to pin.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "core/net/server_key.h"
#include "core/sys/stop_token.h"

class QLineEdit;
class QPushButton;
class QWidget;

namespace zepa2::ui {

using KeyLearner = std::function<net::PresentedKey(const StopToken&)>;

// After a step refused for trouble with the server's key, the key it presents is learned off the
// UI thread. For a changed key, a box shows the pinned and the presented key (nothing is pinned:
// the user forgets the old pin first); for an unverified one, its fingerprint is shown in a question. Gives
// the pin to store when the user answered OK, else nothing (the step then ends as a failed connection).
std::optional<std::string> AskToTrustServerKey(QWidget* parent, const QString& server,
                                               net::KeyTrouble trouble, const std::string& pinned,
                                               const KeyLearner& learn);

// Shows a pin from its start (the whole pin on hover); its forget button is off while there is none.
void ShowPin(QLineEdit* field, QPushButton* forget, const std::string& pin);
// The pin a read-only pin field shows: as the settings hold it (ASCII).
std::string PinShown(const QLineEdit* field);

// Asks before a pin is forgotten: the next connection would have to trust the server again.
bool ConfirmForgetPin(QWidget* parent);
// A dialog's step that may be refused for the server's key: runs attempt (which gives the key
// trouble of what it did); when the key was refused, asks as above and, when the user pins the
// key, stores it in pin, calls pinTaken (the dialog shows it) and runs attempt once more.
void AttemptTrustingKey(QWidget* parent, const QString& server, std::string& pin, const KeyLearner& learn,
                        const std::function<net::KeyTrouble()>& attempt,
                        const std::function<void()>& pinTaken = {});

}  // namespace zepa2::ui
