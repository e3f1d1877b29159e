#include "ui/settings/dialog_fetch_host.h"

#include <QApplication>
#include <ctime>
#include <thread>

namespace zepa2::ui {

void DialogFetchHost::Sleep(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

void DialogFetchHost::Pause(std::chrono::milliseconds duration) {
  if (pause_) pause_(duration);
}

void DialogFetchHost::SetBusy(bool busy) {
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

std::time_t DialogFetchHost::Now() { return std::time(nullptr); }

}  // namespace zepa2::ui
