#include "ui/main/main_icons.h"

#include <QImageReader>

#include "ui/main/resources.h"

namespace zepa2::ui {
namespace {

QIcon LoadIcon(const QString& stem) {
  EnsureResources();
  QIcon icon;
  for (const char* suffix : {"_16", "_32", ""}) {
    icon.addPixmap(LoadPngPicture(QStringLiteral(":/%1%2.png").arg(stem, QLatin1String(suffix))));
  }
  return icon;
}

}  // namespace

QPixmap LoadPngPicture(const QString& file) {
  // Named as PNG and never guessed: guessing asks every image format plugin, which maps them all
  // into the window for pictures that are all PNG.
  QImageReader reader(file, "png");
  reader.setAutoDetectImageFormat(false);
  return QPixmap::fromImage(reader.read());
}

QIcon AppIcon() { return LoadIcon(QStringLiteral("icon128")); }
QIcon RunningIcon() { return LoadIcon(QStringLiteral("icon134")); }

}  // namespace zepa2::ui
