// Lays out a dialog from its template's dialog units, scaled by one factor pair taken from the font.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

class QWidget;

namespace zepa2::ui {

// A dialog unit is a quarter of the font's average character width across and an eighth of its
// height down, so a template keeps its proportions with whatever font the desktop gives us.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);
  QRect Rect(int x, int y, int width, int height) const;
  QSize Size(int width, int height) const;
  // Puts a child widget at a template rectangle.
  void Place(QWidget* widget, int x, int y, int width, int height) const;

 private:
  double perUnitX_;
  double perUnitY_;
};

}  // namespace zepa2::ui
