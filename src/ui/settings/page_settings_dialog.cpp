#include "ui/settings/page_settings_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <initializer_list>

#include "core/text/messages.h"
#include "ui/common/dialog_controls.h"
#include "ui/common/message_box.h"
#include "ui/settings/folder_picker.h"

namespace zepa2::ui {
namespace {

QFont FormFont(QFont font) {
  font.setPointSize(9);
  return font;
}

}  // namespace

PageSettingsDialog::PageSettingsDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("pageSettingsDialog"));
  setWindowTitle(QString::fromUtf8(msg::kPageSettingsTitle));
  setFont(FormFont(font()));
  const DialogUnits du(font());
  setFixedSize(du.Size(273, 179));

  // The frames go first so that the controls drawn over them stay on top.
  AddControl<QGroupBox>(this, du, "folderSettingsGroup", msg::kFolderSettingsGroup, 7, 22, 259, 76);
  AddControl<QGroupBox>(this, du, "rewriteTargetsGroup", msg::kRewriteTargetsGroup, 7, 103, 259, 46);

  rewriteSwitch_ = AddControl<QCheckBox>(this, du, "rewriteSwitch", msg::kRewriteSwitch, 7, 7, 200, 10);
  AddControl<QLabel>(this, du, "sourceFolderLabel", msg::kSourceFolderLabel, 15, 37, 70, 8);
  sourceEdit_ = Cp932Edit(AddControl<QLineEdit>(this, du, "sourceFolderEdit", nullptr, 87, 35, 128, 12));
  sourceBrowse_ =
      AddControl<QPushButton>(this, du, "sourceBrowseButton", msg::kPageSettingsBrowse, 219, 34, 40, 14);
  AddControl<QLabel>(this, du, "outputFolderLabel", msg::kOutputFolderLabel, 15, 56, 70, 8);
  outputEdit_ = Cp932Edit(AddControl<QLineEdit>(this, du, "outputFolderEdit", nullptr, 87, 54, 128, 12));
  outputBrowse_ =
      AddControl<QPushButton>(this, du, "outputBrowseButton", msg::kPageSettingsBrowse, 219, 53, 40, 14);
  copyOutput_ = AddControl<QPushButton>(this, du, "copyOutputButton", msg::kCopyOutput, 199, 76, 60, 14);

  AddControl<QCheckBox>(this, du, "htmlFilesCheck", msg::kHtmlFiles, 17, 117, 110, 10);
  AddControl<QCheckBox>(this, du, "htmFilesCheck", msg::kHtmFiles, 140, 117, 110, 10);
  AddControl<QCheckBox>(this, du, "cgiFilesCheck", msg::kCgiFiles, 17, 132, 110, 10);
  AddControl<QCheckBox>(this, du, "shtmlFilesCheck", msg::kShtmlFiles, 140, 132, 110, 10);

  auto* ok = AddControl<QPushButton>(this, du, "okButton", msg::kPageSettingsOk, 155, 158, 50, 14);
  auto* cancel =
      AddControl<QPushButton>(this, du, "cancelButton", msg::kPageSettingsCancel, 211, 158, 50, 14);
  ok->setDefault(true);

  connect(rewriteSwitch_, &QCheckBox::toggled, this, &PageSettingsDialog::ApplyEnableRule);
  connect(sourceBrowse_, &QPushButton::clicked, this, [this] { BrowseInto(sourceEdit_); });
  connect(outputBrowse_, &QPushButton::clicked, this, [this] { BrowseInto(outputEdit_); });
  connect(copyOutput_, &QPushButton::clicked, this, &PageSettingsDialog::OnCopyOutput);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  ApplyEnableRule();
}

PageSettingsDialog::~PageSettingsDialog() = default;

void PageSettingsDialog::ApplyEnableRule() {
  const bool on = rewriteSwitch_->isChecked();
  const std::initializer_list<QWidget*> folderControls = {sourceEdit_.widget(), sourceBrowse_,
                                                          outputEdit_.widget(), outputBrowse_, copyOutput_};
  for (QWidget* control : folderControls) control->setEnabled(on);
}

void PageSettingsDialog::BrowseInto(Cp932Edit& folder) {
  std::string chosen;
  if (PickFolder(this, chosen)) folder.Set(chosen);
}

void PageSettingsDialog::OnCopyOutput() {
  if (sourceEdit_.Get().empty() || outputEdit_.Get().empty()) {
    ShowMessage(this, QString::fromUtf8(msg::kSpecifyFolders), MessageButtons::Ok, MessageIcon::None);
  }
}

}  // namespace zepa2::ui
