// Shows the wait cursor while a blocking network call runs; gone again on every way out.
#pragma once

#include <QApplication>
#include <QCursor>

namespace zepa2::ui {

// Shows (true) or takes back (false) one level of the wait cursor.
inline void SetWaitCursor(bool busy) {
  if (busy) {
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  } else {
    QApplication::restoreOverrideCursor();
  }
}

class WaitCursor {
 public:
  WaitCursor() { SetWaitCursor(true); }
  ~WaitCursor() { SetWaitCursor(false); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace zepa2::ui
