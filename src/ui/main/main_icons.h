// The program's pictures: the waiting icon (switch off), the running icon (switch on).
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace zepa2::ui {

QIcon AppIcon();      // window, task bar, tray while waiting
QIcon RunningIcon();  // tray while a timed check runs

// One of the program's PNG pictures (a resource path); a null pixmap when it cannot be read.
QPixmap LoadPngPicture(const QString& file);

}  // namespace zepa2::ui
