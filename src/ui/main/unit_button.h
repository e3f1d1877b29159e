// The button that shows the unit of the check period and is the one place that unit is kept
// until "設定" applies it.
#pragma once

#include <QPushButton>

namespace zepa2::ui {

class UnitButton : public QPushButton {
  Q_OBJECT

 public:
  // caption is what the button shows until it is given a unit it has a caption for.
  UnitButton(const QString& caption, QWidget* parent);

  // 0 minutes, 1 hours, 2 days; a stored value outside those is kept as it is (it counts as
  // minutes) and leaves the caption alone, so the button goes on showing what it showed.
  int unit() const { return unit_; }
  void setUnit(int unit);

 private:
  int unit_ = 0;
};

}  // namespace zepa2::ui
