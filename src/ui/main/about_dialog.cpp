#include "ui/main/about_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "core/text/messages.h"
#include "ui/common/dialog_units.h"
#include "ui/main/main_icons.h"

namespace zepa2::ui {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("aboutDialog"));
  setWindowTitle(QString::fromUtf8(msg::kAboutTitle));
  setWindowIcon(AppIcon());
  const DialogUnits du(font());
  setFixedSize(du.Size(235, 55));

  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("aboutIcon"));
  icon->setPixmap(AppIcon().pixmap(32, 32));
  du.Place(icon, 11, 17, 20, 20);

  auto* version = new QLabel(QString::fromUtf8(msg::kAboutVersion), this);
  version->setObjectName(QStringLiteral("aboutVersion"));
  du.Place(version, 40, 10, 119, 8);

  auto* ok = new QPushButton(QString::fromUtf8(msg::kAboutOk), this);
  ok->setObjectName(QStringLiteral("aboutOk"));
  ok->setDefault(true);
  du.Place(ok, 178, 7, 50, 14);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void ShowAboutDialog() {
  AboutDialog dialog;
  dialog.exec();
}

}  // namespace zepa2::ui
