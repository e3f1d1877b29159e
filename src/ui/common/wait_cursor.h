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

// Takes every level of the wait cursor away while the user is asked something or shown a page in
// the middle of a busy step, and puts them all back afterwards.
class NormalCursorWhileAsking {
 public:
  NormalCursorWhileAsking() {
    for (; QApplication::overrideCursor() != nullptr; ++levels_) QApplication::restoreOverrideCursor();
  }
  ~NormalCursorWhileAsking() {
    for (; levels_ > 0; --levels_) SetWaitCursor(true);
  }
  NormalCursorWhileAsking(const NormalCursorWhileAsking&) = delete;
  NormalCursorWhileAsking& operator=(const NormalCursorWhileAsking&) = delete;

 private:
  int levels_ = 0;
};

class WaitCursor {
 public:
  WaitCursor() { SetWaitCursor(true); }
  ~WaitCursor() { SetWaitCursor(false); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace zepa2::ui
