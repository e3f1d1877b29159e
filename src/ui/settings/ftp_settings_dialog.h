// The FTP settings: five mirror sites on a working copy, the number in use, the public page address.
#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "core/publish/upload_test_file.h"
#include "core/settings/app_settings.h"
#include "ui/common/cp932_text.h"
#include "ui/common/setting_bindings.h"

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zepa2::ui {

// Nothing reaches the settings before "設定", which stores every site and saves once; cancelling
// (after a Yes) drops the edits of all sites. The site edits show one site at a time: the radio
// buttons choose it, and the other sites wait with their edits in a working copy.
class FtpSettingsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit FtpSettingsDialog(AppSettings& settings, QWidget* parent = nullptr);
  ~FtpSettingsDialog() override;

  // The upload test's one-second wait after a stored file, on the test's worker; tests put in one
  // that does not sleep. Without one it sleeps, cut short by Esc.
  void SetPause(PauseFunction pause) { pause_ = std::move(pause); }
  void reject() override { OnCancel(); }

 private:
  void BindSettings();
  void BindShownSite();
  // Keeps the edits of the shown site and shows site index instead.
  void ShowSite(int index);
  void ShowSiteCount(int count);
  int ChosenSiteCount() const;
  void OnSiteCountChange();
  void OnBrowseUploadFile();
  void OnBrowseLocalFile();
  void OnHomePageFromFile();
  void OnUploadTest();
  // Fetches the shown site's check address now and says whether it shows the last run's address.
  void OnCheckUrl();
  void OnForgetPin();
  void OnSaveToKeyring();
  void OnModeChosen();
  // Shows the region field for a mode that signs with a region (S3) and hides it otherwise.
  void ShowModeFields();
  // A site whose mode this version does not know is never reached: a box says so. True then.
  bool RefusedForUnknownMode(const FtpSite& site);
  void OnOK();
  void OnCancel();
  // The shown site's password field, as the keyring and the configuration command name it.
  std::string PasswordKey() const;
  void ShowPinText(const std::string& pin);
  void TakeHomePageFrom(const std::string& templatePath);

  AppSettings& settings_;
  PauseFunction pause_;
  SettingBindings bindings_;                  // the dialog's controls and the settings they show
  RecordsOnShow<FtpSite, kSiteSlots> sites_;  // the site edits and every site as edited so far
  std::array<QRadioButton*, kSiteSlots> siteRadios_{};
  QButtonGroup* siteGroup_;
  QComboBox* siteCountCombo_;
  Cp932Edit serverEdit_{nullptr};
  Cp932Edit userEdit_{nullptr};
  Cp932Edit passEdit_{nullptr};
  Cp932Edit uploadFileEdit_{nullptr};
  Cp932Edit localFileEdit_{nullptr};
  Cp932Edit homePageEdit_{nullptr};
  Cp932Edit checkUrlEdit_{nullptr};
  Cp932Edit regionEdit_{nullptr};  // the shown site's storage region, for a mode that has one
  QWidget* regionLabel_ = nullptr;
  QComboBox* modeCombo_ = nullptr;  // the shown site's transfer mode
  QLineEdit* pinEdit_ = nullptr;    // the shown site's pinned key, read only
  QPushButton* forgetPinButton_ = nullptr;
};

// Runs the dialog modally on settings; true when the user confirmed with "設定".
bool RunFtpSettingsDialog(QWidget* parent, AppSettings& settings);

}  // namespace zepa2::ui
