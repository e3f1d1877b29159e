// Finds a dialog's widgets by object name in dialog tests, and reads the message boxes shown.
#pragma once

#include <QLineEdit>
#include <QStringList>
#include <QWidget>
#include <vector>

#include "ui/common/message_box.h"

namespace zepa2::test {

// The named child; a missing one stops the test program with its name.
template <typename T = QWidget>
T* Child(QWidget& dialog, const char* name) {
  T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
  if (!widget) qFatal("no widget %s", name);
  return widget;
}

template <typename T = QWidget>
T* Child(QWidget* dialog, const char* name) {
  return Child<T>(*dialog, name);
}

inline QLineEdit* Edit(QWidget& dialog, const char* name) { return Child<QLineEdit>(dialog, name); }
inline QLineEdit* Edit(QWidget* dialog, const char* name) { return Child<QLineEdit>(*dialog, name); }

// The names of the controls Tab reaches, in the order it reaches them, from the dialog round.
inline QStringList TabOrder(QWidget& dialog) {
  QStringList names;
  for (QWidget* w = dialog.nextInFocusChain(); w && w != &dialog; w = w->nextInFocusChain()) {
    if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty()) names << w->objectName();
  }
  return names;
}

// The given names in the order Tab reaches them (names it does not reach are left out).
inline QStringList TabOrderOf(QWidget& dialog, const QStringList& names) {
  QStringList ordered;
  for (const QString& name : TabOrder(dialog))
    if (names.contains(name)) ordered << name;
  return ordered;
}

// The texts of the boxes shown since the last call (the seam must be intercepting), and their
// icons when asked.
inline QStringList ShownTexts(std::vector<ui::MessageIcon>* icons = nullptr) {
  QStringList texts;
  for (const ui::ShownMessage& box : ui::MessageBoxSeam::TakeShown()) {
    texts << box.text;
    if (icons) icons->push_back(box.icon);
  }
  return texts;
}

}  // namespace zepa2::test
