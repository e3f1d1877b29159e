// The FTP settings: five mirror sites on a working copy, the number in use, the public page address.
#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "core/publish/upload_test_file.h"
#include "core/settings/app_settings.h"
#include "ui/common/cp932_text.h"

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace zepa2::ui {

// Nothing reaches the settings before "設定", which copies every site and saves once; cancelling
// (after a Yes) drops the edits of all sites. The five site edits always show site shownSite.
class FtpSettingsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit FtpSettingsDialog(AppSettings& settings, QWidget* parent = nullptr);
  ~FtpSettingsDialog() override;

  // The upload test's one-second wait after a stored file, on the test's worker; tests put in one
  // that does not sleep. Without one it sleeps, cut short by Esc.
  void SetPause(PauseFunction pause) { pause_ = std::move(pause); }

  std::array<FtpSite, kSiteSlots> workSites{};
  int siteCount = 1;
  int shownSite = 0;
  int currentSite = 0;

  void CopyFromSettings();
  void FillSiteCountCombo();
  void ApplySiteCount();
  void ShowSite(int index);
  void StoreShownSite();
  bool CopyToSettings();
  void OnSiteSelect();
  void OnSiteCountChange() { ApplySiteCount(); }
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
  bool RefusedForUnknownMode();
  void OnOK();
  void OnCancel();
  void reject() override { OnCancel(); }

 private:
  // The shown site's password field, as the keyring and the configuration command name it.
  std::string PasswordKey() const;
  void ReadControls();
  void PushFields();
  void TakeHomePageFrom(const std::string& templatePath);

  AppSettings& settings_;
  PauseFunction pause_;
  FtpSite siteText_;          // the site edits
  std::string homePageText_;  // edit 1002
  std::array<QRadioButton*, kSiteSlots> siteRadios_{};
  QButtonGroup* siteGroup_;
  QComboBox* siteCountCombo_;
  Cp932Edit serverEdit_;
  Cp932Edit userEdit_;
  Cp932Edit passEdit_;
  Cp932Edit uploadFileEdit_;
  Cp932Edit localFileEdit_;
  Cp932Edit homePageEdit_;
  Cp932Edit checkUrlEdit_;
  Cp932Edit regionEdit_;             // the shown site's storage region, for a mode that has one
  QWidget* regionLabel_ = nullptr;
  QComboBox* modeCombo_ = nullptr;  // the shown site's transfer mode
  QLineEdit* pinEdit_ = nullptr;    // the shown site's pinned key, read only
};

// Runs the dialog modally on settings; true when the user confirmed with "設定".
bool RunFtpSettingsDialog(QWidget* parent, AppSettings& settings);

}  // namespace zepa2::ui
