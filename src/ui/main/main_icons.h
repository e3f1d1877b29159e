// The program's pictures: the waiting icon (switch off), the running icon (switch on).
#pragma once

#include <QIcon>

namespace zepa2::ui {

QIcon AppIcon();      // window, task bar, tray while waiting
QIcon RunningIcon();  // tray while a timed check runs

}  // namespace zepa2::ui
