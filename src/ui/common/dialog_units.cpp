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

DialogUnits::DialogUnits(double pixelsPerUnitX, double pixelsPerUnitY)
    : perUnitX_(pixelsPerUnitX), perUnitY_(pixelsPerUnitY) {}

int DialogUnits::X(int units) const { return Scale(units, perUnitX_); }
int DialogUnits::Y(int units) const { return Scale(units, perUnitY_); }

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
  return QRect(QPoint(X(x), Y(y)), QPoint(X(x + width) - 1, Y(y + height) - 1));
}

QSize DialogUnits::Size(int width, int height) const { return QSize(X(width), Y(height)); }

void DialogUnits::Place(QWidget* widget, int x, int y, int width, int height) const {
  widget->setGeometry(Rect(x, y, width, height));
}

}  // namespace zepa2::ui
