#include "ui/common/dialog_units.h"

#include <QFontMetricsF>
#include <QWidget>
#include <cmath>

namespace zepa2::ui {
namespace {

int Scale(int units, double perUnit) { return static_cast<int>(std::lround(units * perUnit)); }

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetricsF metrics(font);
  // The classic average: the width of the 52 Latin letters over 52, rounded.
  const double averageWidth = std::round(
      metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
      52.0);
  perUnitX_ = averageWidth / 4.0;
  perUnitY_ = metrics.height() / 8.0;
}

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
  return QRect(Scale(x, perUnitX_), Scale(y, perUnitY_), Scale(width, perUnitX_),
               Scale(height, perUnitY_));
}

QSize DialogUnits::Size(int width, int height) const {
  return QSize(Scale(width, perUnitX_), Scale(height, perUnitY_));
}

void DialogUnits::Place(QWidget* widget, int x, int y, int width, int height) const {
  widget->setGeometry(Rect(x, y, width, height));
}

}  // namespace zepa2::ui
