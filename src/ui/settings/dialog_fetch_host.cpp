#include "ui/settings/dialog_fetch_host.h"

#include <ctime>

#include "ui/common/wait_cursor.h"

namespace zepa2::ui {

void DialogFetchHost::Pause(std::chrono::milliseconds duration) {
  if (pause_) pause_(duration);
}

void DialogFetchHost::SetBusy(bool busy) { SetWaitCursor(busy); }

std::time_t DialogFetchHost::Now() { return std::time(nullptr); }

}  // namespace zepa2::ui
