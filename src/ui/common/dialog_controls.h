// Creates a dialog's controls at their template places, each with its object name and caption.
#pragma once

#include <QGroupBox>
#include <QString>
#include <type_traits>

#include "ui/common/dialog_units.h"

namespace zepa2::ui {

// One control of a form at its place in dialog units; caption (UTF-8) may be null.
template <typename Control>
Control* AddControl(QWidget* dialog, const DialogUnits& units, const char* name, const char* caption, int x,
                    int y, int width, int height) {
  auto* control = new Control(dialog);
  control->setObjectName(QString::fromLatin1(name));
  if constexpr (std::is_same_v<Control, QGroupBox>) {
    control->setTitle(QString::fromUtf8(caption));
  } else if constexpr (requires { control->setText(QString()); }) {
    if (caption) control->setText(QString::fromUtf8(caption));
  }
  units.Place(control, x, y, width, height);
  return control;
}

}  // namespace zepa2::ui
