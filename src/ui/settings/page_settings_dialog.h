// The home-page settings form: a rewrite switch, source and output folders, file kinds to rewrite.
#pragma once

#include <QDialog>
#include <string>

#include "ui/common/cp932_text.h"

class QCheckBox;
class QPushButton;

namespace zepa2::ui {

// Every opening starts empty, and nothing the form holds is stored or handed on: its controls are
// all there is of it. The folders and "コピー出力" can be used only while the switch is on;
// "コピー出力" only checks that both folders are named.
class PageSettingsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit PageSettingsDialog(QWidget* parent = nullptr);
  ~PageSettingsDialog() override;

 private:
  void ApplyEnableRule();
  void BrowseInto(Cp932Edit& folder);
  void OnCopyOutput();

  QCheckBox* rewriteSwitch_;
  Cp932Edit sourceEdit_{nullptr};
  QPushButton* sourceBrowse_;
  Cp932Edit outputEdit_{nullptr};
  QPushButton* outputBrowse_;
  QPushButton* copyOutput_;
};

}  // namespace zepa2::ui
