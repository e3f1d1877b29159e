// Lets a dialog test act on a modal dialog that the code under test opens with exec().
#pragma once

#include <functional>

class QDialog;

namespace zepa2::test {

// Once the next modal dialog is up, runs action on it inside its own event loop (the action is
// expected to end it). Polls the application's modal stack, so it needs a running event loop.
// ready, when given, is asked on every poll: the action waits (without blocking the event loop)
// until the dialog is ready, for a dialog that fills itself after it is shown.
void OnNextModalDialog(std::function<void(QDialog*)> action,
                       std::function<bool(QDialog*)> ready = {});

}  // namespace zepa2::test
