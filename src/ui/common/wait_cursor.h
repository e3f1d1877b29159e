// Shows the wait cursor while a blocking network call runs; gone again on every way out.
#pragma once

#include <QApplication>
#include <QCursor>

namespace zepa2::ui {

class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace zepa2::ui
