#include "ui/main/main_fonts.h"

#include <QStringList>

namespace zepa2::ui {
namespace {

QFont GothicFont(int pixelSize, QFont::Weight weight) {
  QFont font;
  // Any installed Japanese gothic will do; these are tried in order before the system default.
  font.setFamilies({QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAexGothic"),
                    QStringLiteral("IPAGothic"), QStringLiteral("VL Gothic"), QStringLiteral("TakaoGothic")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixelSize);
  font.setWeight(weight);
  return font;
}

}  // namespace

QFont DialogFont() { return GothicFont(12, QFont::Normal); }
QFont TitleFont() { return GothicFont(19, QFont::Black); }
QFont AddressFont() { return GothicFont(17, QFont::Black); }

}  // namespace zepa2::ui
