#include "ui/main/main_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <thread>

#include "core/log/log_stamp.h"
#include "core/schedule/interval_field.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"
#include "ui/common/cp932_text.h"
#include "ui/common/message_box.h"
#include "ui/common/settings_io.h"
#include "ui/main/activity_log.h"
#include "ui/main/main_icons.h"
#include "ui/main/splash_window.h"

namespace zepa2::ui {
namespace {

constexpr std::chrono::milliseconds kLogLinePause{200};
constexpr int kTimerMilliseconds = 1000;

void SetChecked(QCheckBox* box, int value) { box->setChecked(value != 0); }
int CheckedValue(const QCheckBox* box) { return box->isChecked() ? 1 : 0; }

}  // namespace

void SleepPause(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

MainDialog::MainDialog(AppSettings& settings, PauseFunction pause, QWidget* parent)
    : QDialog(parent), settings_(settings), pause_(std::move(pause)) {
  setWindowTitle(QString::fromUtf8(msg::kMainCaption));
  // No close box: the window ends only through its own quit command.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint);
  controls_ = BuildMainDialogControls(this);
  if (QScreen* screen = this->screen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  ConnectCommands();
  OnInitDialog();
}

MainDialog::~MainDialog() = default;

void MainDialog::OnInitDialog() {
  ShowSplash(this);
  setWindowIcon(AppIcon());
  controls_.versionLabel->setText(QString::fromUtf8(msg::kVersionText));
  controls_.logList->clear();
  lastAddress.clear();
  intervalValue = settings_.interval;
  startMinimizedCheck = settings_.startMinimized;
  localAddressCheck = settings_.useLocalAddress;
  decimalAddressCheck = settings_.decimalAddress;
  unitIndex = settings_.intervalUnit;
  runAtStartCheck = settings_.runAtStart;
  ShowMembers();
  SetCountdown();
  timer_.start(kTimerMilliseconds);
  AppendLog(Cp932(msg::kStartedNormally), log_color::kBlack);
  UpdateRouterButton();
  ShowUnit();
  setToolTip(QString::fromUtf8(msg::kProductName));
  if (startMinimizedCheck) HideToTrayAtStart();
  if (runAtStartCheck) RunCheckAtStart();
}

// Filled in with the tray: hide the window into it once it has first been shown.
void MainDialog::HideToTrayAtStart() {}

// Filled in with the address check: one check at once, before the window is first shown.
void MainDialog::RunCheckAtStart() {}

void MainDialog::ConnectCommands() {
  const MainDialogControls& c = controls_;
  connect(c.getZepaButton, &QPushButton::clicked, this, &MainDialog::accept);
  connect(c.quitButton, &QPushButton::clicked, this, &MainDialog::reject);
  connect(c.clearLogButton, &QPushButton::clicked, this, &MainDialog::OnClearLog);
  connect(c.applyButton, &QPushButton::clicked, this, &MainDialog::OnApplyInterval);
  connect(c.unitButton, &QPushButton::clicked, this, &MainDialog::OnUnitButton);
  connect(c.routerSettingsButton, &QPushButton::clicked, this, &MainDialog::OnRouterSettings);
  connect(c.ftpSettingsButton, &QPushButton::clicked, this, &MainDialog::OnFtpSettings);
  connect(c.pageSettingsButton, &QPushButton::clicked, this, &MainDialog::OnPageSettings);
  connect(c.browserButton, &QPushButton::clicked, this, &MainDialog::OpenPublicPage);
  connect(c.conversionTestButton, &QPushButton::clicked, this, &MainDialog::OnConversionTest);
  connect(c.startMinimizedCheck, &QCheckBox::clicked, this, &MainDialog::OnStartMinimizedClick);
  connect(c.runAtStartCheck, &QCheckBox::clicked, this, &MainDialog::OnRunAtStartClick);
  connect(c.localAddressCheck, &QCheckBox::clicked, this, &MainDialog::OnLocalAddressClick);
  connect(c.decimalAddressCheck, &QCheckBox::clicked, this, &MainDialog::OnDecimalAddressClick);
  connect(&timer_, &QTimer::timeout, this, &MainDialog::OnTimer);
}

// The address field is read-only: the member is its only source, so it is never read back.
bool MainDialog::TakeControlValues(bool reportInvalidInterval) {
  const MainDialogControls& c = controls_;
  std::optional<int> interval = ParseIntervalField(ToCp932(c.intervalEdit->text()));
  if (interval) intervalValue = *interval;
  localAddressCheck = CheckedValue(c.localAddressCheck);
  startMinimizedCheck = CheckedValue(c.startMinimizedCheck);
  decimalAddressCheck = CheckedValue(c.decimalAddressCheck);
  runAtStartCheck = CheckedValue(c.runAtStartCheck);
  if (!interval && reportInvalidInterval) {
    ShowMessage(this, QString::fromUtf8(msg::kIntervalInvalid), MessageButtons::Ok,
                MessageIcon::Exclamation);
    c.intervalEdit->setFocus();
    c.intervalEdit->selectAll();
  }
  return interval.has_value();
}

void MainDialog::ShowMembers() {
  const MainDialogControls& c = controls_;
  c.intervalEdit->setText(QString::number(intervalValue));
  c.addressEdit->setText(FromCp932(currentAddressText));
  SetChecked(c.localAddressCheck, localAddressCheck);
  SetChecked(c.startMinimizedCheck, startMinimizedCheck);
  SetChecked(c.decimalAddressCheck, decimalAddressCheck);
  SetChecked(c.runAtStartCheck, runAtStartCheck);
}

void MainDialog::AppendLog(const std::string& text, LogColor color) {
  controls_.logList->AddLine(FromCp932(MakeLogLine(Now(), text)), color);
  // Keep the members current, quietly: a message box per log line would repeat all through a
  // check while the user is still typing the interval.
  TakeControlValues(false);
  // The pause is there so each line can be seen arriving; before the window has ever been shown
  // there is nothing to see, and waiting would only hold back the window.
  if (shownOnce_) Pause(kLogLinePause);
}

void MainDialog::showEvent(QShowEvent* event) {
  shownOnce_ = true;
  QDialog::showEvent(event);
}

void MainDialog::Pause(std::chrono::milliseconds duration) {
  if (pause_) pause_(duration);
}

void MainDialog::SetBusy(bool busy) {
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void MainDialog::ShowGeneratedPage(const std::string&) {}

std::time_t MainDialog::Now() { return std::time(nullptr); }

void MainDialog::accept() { OnManualRun(); }

void MainDialog::reject() {
  if (TakeControlValues(true)) done(QDialog::Accepted);
}

void MainDialog::closeEvent(QCloseEvent* event) { event->ignore(); }

void MainDialog::OnClearLog() { controls_.logList->clear(); }

// The options are independent of the interval field: a click saves its own option even while
// that field is being edited.
void MainDialog::SaveOption(int& member, int AppSettings::*field) {
  TakeControlValues(false);
  settings_.*field = member;
  SaveAppSettings(this, settings_);
  ShowMembers();
}

void MainDialog::OnStartMinimizedClick() {
  SaveOption(startMinimizedCheck, &AppSettings::startMinimized);
}

void MainDialog::OnRunAtStartClick() { SaveOption(runAtStartCheck, &AppSettings::runAtStart); }

void MainDialog::OnLocalAddressClick() {
  SaveOption(localAddressCheck, &AppSettings::useLocalAddress);
  UpdateRouterButton();
}

void MainDialog::OnDecimalAddressClick() {
  SaveOption(decimalAddressCheck, &AppSettings::decimalAddress);
}

void MainDialog::UpdateRouterButton() {
  controls_.routerSettingsButton->setEnabled(localAddressCheck == 0);
}

void MainDialog::OnManualRun() {}
void MainDialog::SetCountdown() {}
void MainDialog::ShowUnit() {}
void MainDialog::OnUnitButton() {}
void MainDialog::OnApplyInterval() {}
void MainDialog::OnTimer() {}
void MainDialog::OnRouterSettings() {}
void MainDialog::OnFtpSettings() {}
void MainDialog::OnPageSettings() {}
void MainDialog::OpenPublicPage() {}
void MainDialog::OnConversionTest() {}

}  // namespace zepa2::ui
