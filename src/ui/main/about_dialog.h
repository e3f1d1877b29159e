// The version box: the program icon, the version line and OK.
#pragma once

#include <QDialog>

namespace zepa2::ui {

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);
};

// Runs the version box modally, with no owner window, until OK.
void ShowAboutDialog();

}  // namespace zepa2::ui
