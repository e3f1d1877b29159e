#include "ui/main/unit_button.h"

#include "core/schedule/interval_unit.h"

namespace zepa2::ui {

UnitButton::UnitButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}

void UnitButton::setUnit(int unit) {
  unit_ = unit;
  if (const char* caption = UnitCaption(unit)) setText(QString::fromUtf8(caption));
}

}  // namespace zepa2::ui
