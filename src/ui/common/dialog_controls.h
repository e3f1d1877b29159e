// Creating a dialog's controls at their template places, each with the object name tests find it by.
#pragma once

#include <QGroupBox>
#include <QString>
#include <type_traits>

#include "ui/common/dialog_units.h"

namespace zepa2::ui {

// Creates one control of dialog at its place in dialog units; caption (UTF-8) may be null.
template <typename Control>
Control* AddControl(QWidget* dialog, const DialogUnits& units, const char* name, const char* caption,
                    int x, int y, int width, int height) {
  auto* control = new Control(dialog);
  control->setObjectName(QString::fromLatin1(name));
  if constexpr (std::is_same_v<Control, QGroupBox>) {
    control->setTitle(QString::fromUtf8(caption));
  } else if (caption) {
    control->setText(QString::fromUtf8(caption));
  }
  units.Place(control, x, y, width, height);
  return control;
}

}  // namespace zepa2::ui
