// The home-page settings form: a rewrite switch, source and output folders, file kinds to rewrite.
#pragma once

#include <QDialog>
#include <string>

#include "ui/common/cp932_text.h"

class QCheckBox;
class QPushButton;

namespace zepa2::ui {

// What the form holds while it is open. Nothing of it is stored or handed on.
struct PageSettingsFields {
  int rewriteEnabled = 0;
  std::string outputFolder;
  std::string sourceFolder;
};

// Every opening starts empty. The folders and "コピー出力" can be used only while the switch is on;
// "コピー出力" only checks that both folders are named.
class PageSettingsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit PageSettingsDialog(QWidget* parent = nullptr);
  ~PageSettingsDialog() override;

 private:
  void ReadControls();
  void PushFields();
  void ApplyEnableRule();
  void BrowseInto(std::string PageSettingsFields::*folder);
  void OnCopyOutput();

  PageSettingsFields fields_;
  QCheckBox* rewriteSwitch_;
  Cp932Edit sourceEdit_;
  QPushButton* sourceBrowse_;
  Cp932Edit outputEdit_;
  QPushButton* outputBrowse_;
  QPushButton* copyOutput_;
};

}  // namespace zepa2::ui
