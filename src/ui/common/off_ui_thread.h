// Runs a dialog's network step on a worker thread while the dialog stays drawn and Esc can stop it.
#pragma once

#include <functional>
#include <optional>
#include <utility>

#include "core/sys/stop_token.h"

class QWidget;

namespace zepa2::ui {

// Runs work on a worker thread and keeps the UI thread's events going until it is done. Meanwhile
// the dialog's controls are disabled, the wait cursor shows, keys do nothing but Esc, which asks
// the work to stop (through the token it is given) instead of closing the dialog, and the dialog
// cannot be closed. The work must not touch widgets.
void RunStepOffUiThread(QWidget* dialog, const std::function<void(const StopToken&)>& work);

// The same for work with a result, which is returned.
template <typename Result, typename Work>
Result RunOffUiThread(QWidget* dialog, Work&& work) {
  std::optional<Result> result;
  RunStepOffUiThread(dialog, [&](const StopToken& stop) { result.emplace(work(stop)); });
  return std::move(*result);
}

}  // namespace zepa2::ui
