#include "ui/settings/ftp_settings_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "core/outcome/run_status_file.h"
#include "core/settings/setting_rules.h"
#include "core/publish/page_proof.h"
#include "core/publish/home_page_address.h"
#include "core/publish/site_store.h"
#include "core/publish/server_trust.h"
#include "core/text/messages.h"
#include "ui/common/cp932_text.h"
#include "ui/common/dialog_controls.h"
#include "ui/common/message_box.h"
#include "ui/common/password_secret.h"
#include "ui/common/settings_io.h"
#include "ui/common/off_ui_thread.h"
#include "ui/common/server_key_prompt.h"
#include "ui/settings/dialog_fetch_host.h"
#include "ui/settings/file_select.h"
#include "ui/settings/ftp_browse_dialog.h"

namespace zepa2::ui {
namespace {

constexpr const char* kRadioNames[kSiteSlots] = {"site1Radio", "site2Radio", "site3Radio", "site4Radio",
                                                 "site5Radio"};
constexpr const char* kRadioCaptions[kSiteSlots] = {msg::kSiteRadio1, msg::kSiteRadio2, msg::kSiteRadio3,
                                                    msg::kSiteRadio4, msg::kSiteRadio5};

QFont FormFont(QFont font) {
  font.setPointSize(10);
  return font;
}

struct UploadOutcome {
  const char* text;
  MessageIcon icon;
};

// Time-outs and stop requests read as the failure the user knows from a dead server.
UploadOutcome OutcomeOf(const net::Outcome& result) {
  switch (result.kind) {
    case net::OutcomeKind::Done:
      return {msg::kConnectSucceeded, MessageIcon::Information};
    case net::OutcomeKind::TransferRefused:
      return {msg::kUploadTestTransferFailed, MessageIcon::Exclamation};
    case net::OutcomeKind::ConnectFailed:
    case net::OutcomeKind::TimedOut:
      return {msg::kConnectFailed, MessageIcon::Exclamation};
    case net::OutcomeKind::Cancelled:
      return {msg::kStepStopped, MessageIcon::Information};
  }
  return {msg::kConnectFailed, MessageIcon::Exclamation};
}

}  // namespace

FtpSettingsDialog::FtpSettingsDialog(AppSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
  setObjectName(QStringLiteral("ftpSettingsDialog"));
  setWindowTitle(QString::fromUtf8(msg::kFtpSettingsTitle));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFont(FormFont(font()));
  const DialogUnits du(font());
  setFixedSize(du.Size(303, 257));

  AddControl<QGroupBox>(this, du, "ftpServerGroup", msg::kFtpServerGroup, 7, 52, 289, 156);
  AddControl<QLabel>(this, du, "headingLabel", msg::kFtpSettingsHeading, 7, 6, 120, 10);
  AddBusyLabel(this, du, 176, 6, 120, 10);
  AddControl<QLabel>(this, du, "siteCountLabel", msg::kSiteCountLabel, 7, 22, 40, 8);
  siteCountCombo_ = AddControl<QComboBox>(this, du, "siteCountCombo", nullptr, 50, 20, 32, 12);
  AddControl<QLabel>(this, du, "siteSwitchLabel", msg::kSiteSwitchLabel, 7, 38, 60, 8);
  siteGroup_ = new QButtonGroup(this);
  for (int i = 0; i < kSiteSlots; ++i) {
    siteRadios_[i] =
        AddControl<QRadioButton>(this, du, kRadioNames[i], kRadioCaptions[i], 68 + i * 45, 37, 43, 10);
    siteGroup_->addButton(siteRadios_[i], i);
  }

  AddControl<QLabel>(this, du, "serverLabel", msg::kFtpServerLabel, 15, 67, 62, 8);
  serverEdit_ = Cp932Edit(AddControl<QLineEdit>(this, du, "serverEdit", nullptr, 80, 65, 140, 12));
  AddControl<QLabel>(this, du, "userLabel", msg::kFtpUserLabel, 15, 83, 62, 8);
  userEdit_ = Cp932Edit(AddControl<QLineEdit>(this, du, "userEdit", nullptr, 80, 81, 80, 12));
  AddControl<QLabel>(this, du, "passwordLabel", msg::kFtpPasswordLabel, 166, 83, 40, 8);
  passEdit_ = Cp932Edit(AddControl<QLineEdit>(this, du, "passwordEdit", nullptr, 207, 81, 80, 12));
  passEdit_.widget()->setEchoMode(QLineEdit::Password);
  // Beside the password, over it: the row of the password has no room left.
  auto* toKeyring =
      AddControl<QPushButton>(this, du, "saveToKeyringButton", msg::kSaveToKeyring, 224, 64, 64, 13);
  AddControl<QLabel>(this, du, "uploadFileLabel", msg::kUploadFileLabel, 15, 99, 100, 8);
  uploadFileEdit_ = Cp932Edit(AddControl<QLineEdit>(this, du, "uploadFileEdit", nullptr, 15, 109, 226, 12));
  auto* uploadBrowse =
      AddControl<QPushButton>(this, du, "uploadBrowseButton", msg::kFtpBrowse, 246, 108, 42, 14);
  AddControl<QLabel>(this, du, "localFileLabel", msg::kLocalFileLabel, 15, 126, 100, 8);
  localFileEdit_ = Cp932Edit(AddControl<QLineEdit>(this, du, "localFileEdit", nullptr, 15, 136, 226, 12));
  auto* localBrowse =
      AddControl<QPushButton>(this, du, "localBrowseButton", msg::kFtpBrowse, 246, 135, 42, 14);

  // The shown site's transfer mode, pinned key and check address belong to the site: they sit in
  // its group under the local file, and Tab reaches them there, before the page address.
  AddControl<QLabel>(this, du, "transferModeLabel", msg::kTransferModeLabel, 15, 156, 40, 8);
  modeCombo_ = AddControl<QComboBox>(this, du, "transferModeCombo", nullptr, 56, 154, 76, 12);
  for (const net::TransferModeRow& row : net::TransferModes())
    modeCombo_->addItem(QString::fromUtf8(row.caption));
  AddControl<QLabel>(this, du, "pinLabel", msg::kPinLabel, 138, 156, 14, 8);
  pinEdit_ = AddControl<QLineEdit>(this, du, "pinEdit", nullptr, 153, 154, 87, 12);
  pinEdit_->setReadOnly(true);
  forgetPinButton_ = AddControl<QPushButton>(this, du, "forgetPinButton", msg::kForgetPin, 244, 153, 44, 14);
  AddControl<QLabel>(this, du, "checkUrlLabel", msg::kCheckUrlLabel, 15, 173, 56, 8);
  checkUrlEdit_ = Cp932Edit(AddControl<QLineEdit>(this, du, "checkUrlEdit", nullptr, 72, 171, 168, 12));
  checkUrlEdit_.widget()->setPlaceholderText(QString::fromUtf8(msg::kCheckUrlPlaceholder));
  auto* checkNow =
      AddControl<QPushButton>(this, du, "checkUrlButton", msg::kCheckUrlButton, 244, 170, 44, 14);
  // The storage region of an S3 site, in the site's group below its check address, shown for S3 only.
  regionLabel_ = AddControl<QLabel>(this, du, "regionLabel", msg::kRegionLabel, 15, 190, 56, 8);
  regionEdit_ = Cp932Edit(AddControl<QLineEdit>(this, du, "regionEdit", nullptr, 72, 188, 80, 12));
  regionEdit_.widget()->setPlaceholderText(QStringLiteral("us-east-1"));

  AddControl<QLabel>(this, du, "homePageLabel", msg::kHomePageLabel, 7, 217, 126, 8);
  homePageEdit_ = Cp932Edit(AddControl<QLineEdit>(this, du, "homePageEdit", nullptr, 134, 215, 162, 12));
  auto* fromFile =
      AddControl<QPushButton>(this, du, "homePageFromFileButton", msg::kHomePageFromFile, 7, 236, 84, 14);
  auto* uploadTest =
      AddControl<QPushButton>(this, du, "uploadTestButton", msg::kUploadTestButton, 112, 236, 80, 14);
  auto* ok = AddControl<QPushButton>(this, du, "okButton", msg::kFtpSettingsOk, 198, 236, 46, 14);
  auto* cancel = AddControl<QPushButton>(this, du, "cancelButton", msg::kFtpSettingsCancel, 250, 236, 46, 14);
  ok->setDefault(true);

  connect(siteGroup_, &QButtonGroup::idClicked, this, &FtpSettingsDialog::ShowSite);
  connect(siteCountCombo_, &QComboBox::currentIndexChanged, this, &FtpSettingsDialog::OnSiteCountChange);
  connect(uploadBrowse, &QPushButton::clicked, this, &FtpSettingsDialog::OnBrowseUploadFile);
  connect(localBrowse, &QPushButton::clicked, this, &FtpSettingsDialog::OnBrowseLocalFile);
  connect(fromFile, &QPushButton::clicked, this, &FtpSettingsDialog::OnHomePageFromFile);
  connect(uploadTest, &QPushButton::clicked, this, &FtpSettingsDialog::OnUploadTest);
  connect(checkNow, &QPushButton::clicked, this, &FtpSettingsDialog::OnCheckUrl);
  connect(ok, &QPushButton::clicked, this, &FtpSettingsDialog::OnOK);
  connect(cancel, &QPushButton::clicked, this, &FtpSettingsDialog::OnCancel);
  connect(forgetPinButton_, &QPushButton::clicked, this, &FtpSettingsDialog::OnForgetPin);
  connect(toKeyring, &QPushButton::clicked, this, &FtpSettingsDialog::OnSaveToKeyring);
  // The user's choice only: showing another site sets the drop-down too.
  connect(modeCombo_, &QComboBox::activated, this, &FtpSettingsDialog::OnModeChosen);

  for (int n = 1; n <= kSiteSlots; ++n) siteCountCombo_->addItem(QString::number(n), n);

  BindShownSite();
  BindSettings();
  bindings_.Show(settings_);
}

FtpSettingsDialog::~FtpSettingsDialog() = default;

// The site edits show the fields of whichever site is chosen.
void FtpSettingsDialog::BindShownSite() {
  FieldBindings<FtpSite>& site = sites_.bindings();
  site.Text(serverEdit_, &FtpSite::server);
  site.Text(userEdit_, &FtpSite::user);
  site.Text(passEdit_, &FtpSite::pass);
  site.Text(uploadFileEdit_, &FtpSite::uploadFile);
  site.Text(localFileEdit_, &FtpSite::localFile);
  site.Text(checkUrlEdit_, &FtpSite::checkUrl);
  site.Text(regionEdit_, &FtpSite::region);
  // A mode this version does not know shows as no choice and stays as it is until one is made.
  site.Row(
      [this](const FtpSite& shown) {
        modeCombo_->setCurrentIndex(shown.unknownMode ? -1 : static_cast<int>(shown.mode));
        ShowModeFields();
      },
      [this](FtpSite& stored) {
        if (const int index = modeCombo_->currentIndex(); index >= 0) {
          stored.mode = net::TransferModes()[static_cast<std::size_t>(index)].mode;
          stored.unknownMode.reset();
        }
      });
  site.Pin(pinEdit_, forgetPinButton_, &FtpSite::pin, &FtpSite::unreadablePin);
}

void FtpSettingsDialog::BindSettings() {
  // The sites the edits do not show wait in the working copy.
  bindings_.Row(
      [this](const AppSettings& s) {
        sites_.Open(s.sites);
        siteRadios_[0]->setChecked(true);
      },
      [this](AppSettings& s) { s.sites = sites_.All(); });
  bindings_.Row([this](const AppSettings& s) { ShowSiteCount(s.siteCount); },
                [this](AppSettings& s) { s.siteCount = ChosenSiteCount(); });
  bindings_.Text(homePageEdit_, &AppSettings::homePageAddress);
}

void FtpSettingsDialog::ShowSite(int index) {
  sites_.ShowRecord(index);
  siteRadios_[static_cast<std::size_t>(index)]->setChecked(true);
}

// A count outside 1..5 in the file shows as 1.
void FtpSettingsDialog::ShowSiteCount(int count) {
  const int stored = siteCountCombo_->findData(count);
  {
    // Showing is not the user's choice: it moves no site.
    const QSignalBlocker quiet(siteCountCombo_);
    siteCountCombo_->setCurrentIndex(stored < 0 ? 0 : stored);
  }
  OnSiteCountChange();
}

int FtpSettingsDialog::ChosenSiteCount() const { return siteCountCombo_->currentData().toInt(); }

// Sites above the count keep their edits; the shown one moves to site 1 when it is no longer in use.
void FtpSettingsDialog::OnSiteCountChange() {
  const int count = ChosenSiteCount();
  for (int i = 0; i < kSiteSlots; ++i) siteRadios_[static_cast<std::size_t>(i)]->setEnabled(i < count);
  if (sites_.shownIndex() >= count) ShowSite(0);
}

void FtpSettingsDialog::OnOK() {
  AppSettings updated = settings_;
  bindings_.Store(updated);
  // A pasted line break would reach the server as a command of its own.
  for (int i = 0; i < kSiteSlots; ++i) {
    if (const std::optional<std::string> problem =
            SiteFieldProblem(updated.sites[static_cast<std::size_t>(i)], i)) {
      ShowMessage(this, QString::fromStdString(*problem), MessageButtons::Ok, MessageIcon::Exclamation);
      return;
    }
  }
  // A save that fails (its box says why) leaves the record as it was and the edits in the dialog.
  if (!SaveAppSettings(this, updated)) return;
  settings_ = std::move(updated);
  QDialog::accept();
}

void FtpSettingsDialog::OnCancel() {
  if (ShowMessage(this, QString::fromUtf8(msg::kCancelSettingsQuestion), MessageButtons::YesNo,
                  MessageIcon::Question) == MessageAnswer::Yes) {
    QDialog::reject();
  }
}

std::string FtpSettingsDialog::PasswordKey() const {
  return "FTP.Pass" + std::to_string(sites_.shownIndex() + 1);
}

void FtpSettingsDialog::ShowPinText(const std::string& pin) { ShowPin(pinEdit_, forgetPinButton_, pin); }

void FtpSettingsDialog::OnSaveToKeyring() {
  if (auto reference = SavePasswordToKeyring(this, PasswordKey(), passEdit_.Get())) passEdit_.Set(*reference);
}

void FtpSettingsDialog::OnBrowseUploadFile() {
  const FtpSite site = sites_.Shown();
  if (RefusedForUnknownMode(site)) return;
  const std::optional<std::string> password = PasswordForTest(this, site.pass, PasswordKey());
  if (!password) return;
  FtpBrowseDialog browse(this);
  browse.serverName = site.server;
  browse.password = *password;
  browse.userName = site.user;
  browse.mode = site.mode;
  browse.pin = site.pin;
  browse.region = site.region;
  browse.uploadFile = site.uploadFile;
  const bool picked = browse.exec() == QDialog::Accepted;
  ShowPinText(browse.pin);  // a key trusted in the browser stays, whatever was picked
  if (picked) uploadFileEdit_.Set(browse.resultPath);
}

void FtpSettingsDialog::OnForgetPin() {
  if (ConfirmForgetPin(this)) ShowPinText({});
}

// A pin is of one kind of key: a mode that checks another kind (or none) does not keep it. The
// working copy remembers the mode the pin was taken with.
void FtpSettingsDialog::OnModeChosen() {
  const FtpSite& last = sites_.LastTaken();
  const net::PinnedKeyKind before =
      last.unknownMode ? net::PinnedKeyKind::None : net::PinnedKeyKindOf(last.mode);
  if (before != net::PinnedKeyKindOf(sites_.TakeShown().mode)) ShowPinText({});
  ShowModeFields();
}

void FtpSettingsDialog::ShowModeFields() {
  const int index = modeCombo_->currentIndex();
  const bool region = index >= 0 && net::TransferModes()[static_cast<std::size_t>(index)].usesRegion;
  regionLabel_->setVisible(region);
  regionEdit_.widget()->setVisible(region);
}

bool FtpSettingsDialog::RefusedForUnknownMode(const FtpSite& site) {
  if (!site.unknownMode) return false;
  ShowMessage(this, QString::fromUtf8(msg::kConnectFailed), MessageButtons::Ok, MessageIcon::Exclamation);
  return true;
}

void FtpSettingsDialog::TakeHomePageFrom(const std::string& templatePath) {
  const HomePageAddress found = FindHomePageAddress(templatePath);
  if (found.read == TemplateRead::NotOpened) {
    ShowMessage(this, QString::fromUtf8(msg::kTemplateNotOpened), MessageButtons::Ok, MessageIcon::None);
  }
  homePageEdit_.Set(found.address);
}

void FtpSettingsDialog::OnBrowseLocalFile() {
  std::string chosen;
  if (!PickTemplateFile(this, chosen)) return;
  localFileEdit_.Set(chosen);
  TakeHomePageFrom(chosen);
}

void FtpSettingsDialog::OnHomePageFromFile() { TakeHomePageFrom(localFileEdit_.Get()); }

void FtpSettingsDialog::OnUploadTest() {
  if (ShowMessage(this, QString::fromUtf8(msg::kUploadTestQuestion), MessageButtons::OkCancel,
                  MessageIcon::Information) != MessageAnswer::Ok) {
    return;
  }
  FtpSite site = sites_.Shown();
  if (RefusedForUnknownMode(site)) return;
  const std::optional<std::string> password = PasswordForTest(this, site.pass, PasswordKey());
  if (!password) return;
  bool stopped = false;
  auto test = [&] {
    const FtpSite asked = site;  // the worker sees this copy only
    return RunOffUiThread<net::Outcome>(this, [&](const StopToken& stop) {
      net::Outcome got = UploadTestFile(SiteLoginOf(asked, *password), asked.uploadFile, asked.localFile,
                                        StoppablePause(pause_, stop), &stop);
      stopped = stop.stopRequested();
      return got;
    });
  };
  net::Outcome result;
  AttemptTrustingKey(
      this, FromCp932(site.server), site.pin,
      [&](const StopToken& stop) {
        return LearnSiteKey(site.server, site.mode, {&stop, net::SteadyClock::now() + kSiteDeadline});
      },
      [&] {
        result = test();
        return result.key;
      },
      [&] { ShowPinText(site.pin); });
  // A step the user stopped did not fail, whatever the connection said as it was cut.
  if (stopped && result.kind != net::OutcomeKind::Done) result.kind = net::OutcomeKind::Cancelled;
  const UploadOutcome outcome = OutcomeOf(result);
  ShowMessage(this, QString::fromUtf8(outcome.text), MessageButtons::Ok, outcome.icon);
}

void FtpSettingsDialog::OnCheckUrl() {
  // The address to look for is the one the last run of either program found.
  const std::optional<std::string> address = LastRunAddress(RunStatusFilePath());
  if (!address) {
    ShowMessage(this, QString::fromUtf8(msg::kGetAddressFirst), MessageButtons::Ok, MessageIcon::Exclamation);
    return;
  }
  const std::string url = checkUrlEdit_.Get();
  const PageProof proof = RunOffUiThread<PageProof>(this, [&](const StopToken& stop) {
    PageProofOptions options;
    options.stop = &stop;
    return ProvePagePublished(url, *address, options);
  });
  ShowMessage(this, FromCp932(DescribePageProof(sites_.shownIndex() + 1, proof, false)), MessageButtons::Ok,
              proof.kind == ProofKind::Confirmed ? MessageIcon::Information : MessageIcon::Exclamation);
}

bool RunFtpSettingsDialog(QWidget* parent, AppSettings& settings) {
  FtpSettingsDialog dialog(settings, parent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace zepa2::ui
