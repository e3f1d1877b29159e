// Finds a dialog's widgets by object name in dialog tests, and reads the message boxes shown.
#pragma once

#include <QLineEdit>
#include <QStringList>
#include <QWidget>

#include "ui/common/message_box.h"

namespace zepa2::test {

// The named child; a missing one stops the test program with its name.
template <typename T = QWidget>
T* Child(QWidget& dialog, const char* name) {
  T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
  if (!widget) qFatal("no widget %s", name);
  return widget;
}

inline QLineEdit* Edit(QWidget& dialog, const char* name) { return Child<QLineEdit>(dialog, name); }

// The texts of the boxes shown since the last call (the seam must be intercepting).
inline QStringList ShownTexts() {
  QStringList texts;
  for (const ui::ShownMessage& box : ui::MessageBoxSeam::TakeShown()) texts << box.text;
  return texts;
}

}  // namespace zepa2::test
