// Dialog-unit positions of the window's templates turned into pixels with one factor pair.
#pragma once

#include <QRect>
#include <QSize>

namespace zepa2::ui {

// Pixels per dialog unit for the 12-pixel Japanese gothic the window uses: an eighth of its line
// height down; across, a little over a quarter of its average width, because its full-width
// letters are wider than the proportional face the layout was drawn for and captions must fit.
inline constexpr double kDluToPixelX = 8.0 / 4.0;
inline constexpr double kDluToPixelY = 15.0 / 8.0;

constexpr int DluX(int units) { return static_cast<int>(units * kDluToPixelX + 0.5); }
constexpr int DluY(int units) { return static_cast<int>(units * kDluToPixelY + 0.5); }

inline QRect DluRect(int x, int y, int width, int height) {
  // Convert both edges rather than the size, so neighbours that touch in units touch in pixels.
  return QRect(QPoint(DluX(x), DluY(y)), QPoint(DluX(x + width) - 1, DluY(y + height) - 1));
}

inline QSize DluSize(int width, int height) { return QSize(DluX(width), DluY(height)); }

}  // namespace zepa2::ui
