// Runs a dialog's network step on a worker thread while the dialog stays drawn and Esc can stop it.
#pragma once

#include <functional>
#include <optional>
#include <utility>

#include "core/sys/stop_token.h"

#include "core/text/messages.h"

class QLabel;
class QWidget;

namespace zepa2::ui {

class DialogUnits;

// The dialog's place for what a running step is doing ("接続中…"), empty while none runs.
QLabel* AddBusyLabel(QWidget* dialog, const DialogUnits& units, int x, int y, int width, int height);

// Runs work on a worker thread and keeps the UI thread's events going until it is done. Meanwhile
// the dialog's controls but its ｷｬﾝｾﾙ button are disabled, its busy label says busyText (UTF-8),
// the wait cursor shows, and keys do nothing but Esc. Esc and ｷｬﾝｾﾙ ask the work to stop (through
// the token it is given) instead of closing the dialog, and the dialog cannot be closed. The work
// must not touch widgets.
void RunStepOffUiThread(QWidget* dialog, const std::function<void(const StopToken&)>& work,
                        const char* busyText = msg::kStepConnecting);

// The same for work with a result, which is returned.
template <typename Result, typename Work>
Result RunOffUiThread(QWidget* dialog, Work&& work, const char* busyText = msg::kStepConnecting) {
  std::optional<Result> result;
  RunStepOffUiThread(
      dialog, [&](const StopToken& stop) { result.emplace(work(stop)); }, busyText);
  return std::move(*result);
}

}  // namespace zepa2::ui
