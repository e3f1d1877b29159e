#include "ui/main/main_icons.h"

#include "ui/main/resources.h"

namespace zepa2::ui {
namespace {

QIcon LoadIcon(const QString& stem) {
  EnsureResources();
  QIcon icon;
  for (const char* suffix : {"_16", "_32", ""}) {
    icon.addFile(QStringLiteral(":/%1%2.png").arg(stem, QLatin1String(suffix)));
  }
  return icon;
}

}  // namespace

QIcon AppIcon() { return LoadIcon(QStringLiteral("icon128")); }
QIcon RunningIcon() { return LoadIcon(QStringLiteral("icon134")); }

}  // namespace zepa2::ui
