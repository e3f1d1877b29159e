#include "ui/main/main_dialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QToolTip>
#include <algorithm>
#include <thread>

#include "core/outcome/dns_state_file.h"
#include "core/schedule/check_period.h"
#include "core/outcome/run_status_file.h"
#include "core/log/log_file.h"
#include "core/log/log_stamp.h"
#include "core/publish/public_page.h"
#include "core/schedule/interval_field.h"
#include "core/schedule/interval_unit.h"
#include "core/settings/settings_load.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"
#include "ui/common/cp932_text.h"
#include "ui/common/message_box.h"
#include "ui/common/wait_cursor.h"
#include "ui/common/settings_io.h"
#include "ui/main/about_dialog.h"
#include "ui/settings/dns_settings_dialog.h"
#include "ui/settings/notify_settings_dialog.h"
#include "ui/main/activity_log.h"
#include "ui/main/main_icons.h"
#include "ui/main/popup_menus.h"
#include "ui/main/splash_window.h"
#include "ui/main/unit_button.h"
#include "ui/settings/ftp_settings_dialog.h"
#include "ui/settings/page_settings_dialog.h"
#include "ui/settings/page_view_dialog.h"
#include "ui/settings/router_settings_dialog.h"

namespace zepa2::ui {
namespace {

constexpr int kTimerMilliseconds = 1000;

}  // namespace

MainDialog::MainDialog(AppSettings& settings, PauseFunction pause, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      runSettings_(settings),
      worker_(this,
              {[this](const std::string& text, LogColor color) { AppendLog(text, color); },
               [](const std::filesystem::path& pageFile) { return ui::ShowPageFile(pageFile); },
               [this](const CheckReport& report) { OnCheckFinished(report); }},
              std::move(pause)),
      uploader_(worker_, &worker_.stopToken()),
      publisher_(runSettings_, worker_, uploader_),
      check_(runSettings_, worker_, publisher_,
             {.stop = &worker_.stopToken(),
              // Called on the worker: the window takes the address on its own thread.
              .addressTaken =
                  [this](const std::string& address) {
                    QMetaObject::invokeMethod(
                        this, [this, address] { ShowAddress(address); }, Qt::QueuedConnection);
                  }}),
      openUrl_(DesktopUrlOpener()),
      trayAvailable_(&QSystemTrayIcon::isSystemTrayAvailable) {
  setWindowTitle(QString::fromUtf8(msg::kMainCaption));
  // No close box: the window ends only through its own quit command.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint);
  controls_ = BuildMainDialogControls(this);
  addressEdit_ = Cp932Edit(controls_.addressEdit);
  BuildMenus();
  logFile_ = LogFilePath();
  // The DNS targets remember their providers' answers across starts, as zepa2-check's do.
  runState_.dnsTargets = ReadDnsState(DnsStateFilePath());
  trayNotices_ = std::make_unique<TrayNoticeChannel>(tray_->icon());
  SetNoticeChannels(*trayNotices_, busNotices_);
  changes_ = std::make_unique<ChangeWatch>(
      this, ChangeWatch::Host{[this] { return worker_.running(); }, [this] { return runState_.lastAddress; },
                              [this](const std::string& text, LogColor color) { AppendLog(text, color); }});
  aftermath_ = std::make_unique<AftermathRunner>(
      this, [this](const std::string& text, LogColor color) { AppendLog(text, color); });
  if (QScreen* screen = this->screen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  ConnectCommands();
  OnInitDialog();
}

// The check works on members declared after the worker: it must end before they go.
MainDialog::~MainDialog() { worker_.StopAndWait(); }

void MainDialog::SetUrlOpener(UrlOpener openUrl) { openUrl_ = std::move(openUrl); }

void MainDialog::SetTrayAvailability(std::function<bool()> available) {
  trayAvailable_ = std::move(available);
}

void MainDialog::SetNoticeChannels(NoticeChannel& tray, NoticeChannel& bus) {
  notifier_ = std::make_unique<CheckNotifier>(
      [this] { return trayAvailable_ && trayAvailable_() && tray_->present(); }, tray, bus);
}

void MainDialog::BuildMenus() {
  const auto runNow = [this] { accept(); };
  const auto exit = [this] { reject(); };
  const auto about = [this] { OnSysCommand(SysCommand::About); };
  // Both window items are posted, so the menu has closed before the window changes.
  windowMenu_ = BuildPopupMenu(
      this, PopupKind::Window,
      {[this] { QMetaObject::invokeMethod(this, &MainDialog::OnHideToTray, Qt::QueuedConnection); }, runNow,
       exit, about,
       [this] { QMetaObject::invokeMethod(this, &MainDialog::OnDnsSettings, Qt::QueuedConnection); },
       [this] { QMetaObject::invokeMethod(this, &MainDialog::OnNotifySettings, Qt::QueuedConnection); }});
  trayMenu_ =
      BuildPopupMenu(this, PopupKind::Tray,
                     {[this] {
                        QMetaObject::invokeMethod(
                            this, [this] { OnTrayNotify(QSystemTrayIcon::Trigger); }, Qt::QueuedConnection);
                      },
                      runNow, exit, about});
  tray_ = std::make_unique<TrayIcon>(this, trayMenu_);
  connect(tray_->icon(), &QSystemTrayIcon::activated, this, &MainDialog::OnTrayNotify);
}

void MainDialog::OnInitDialog() {
  ShowSplash(this);
  setWindowIcon(AppIcon());
  controls_.versionLabel->setText(QString::fromUtf8(msg::kVersionText));
  controls_.logList->clear();
  TakeAppliedRunSettings();
  SetCountdown(settings_.intervalUnit, settings_.interval);
  // Drawn from the start: a check at start-up holds the seconds still, not the text away.
  ShowCountdown();
  timer_.start(kTimerMilliseconds);
  AppendLog(Cp932(msg::kStartedNormally), log_color::kBlack);
  changes_->Follow(settings_);
  setToolTip(QString::fromUtf8(msg::kProductName));
  if (settings_.startMinimized) HideToTrayAtStart();
  if (settings_.runAtStart) RunCheckAtStart();
}

// Posted, so the window is hidden once it has first been shown.
void MainDialog::HideToTrayAtStart() {
  QMetaObject::invokeMethod(this, &MainDialog::OnHideToTray, Qt::QueuedConnection);
}

// Posted, so the window is on the screen before the check begins; the countdown keeps its start
// value.
void MainDialog::RunCheckAtStart() {
  QMetaObject::invokeMethod(
      this, [this] { RunAddressCheck({}); }, Qt::QueuedConnection);
}

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
  connect(c.notifyCombo, &QComboBox::activated, this, &MainDialog::OnNotifyChoice);
  connect(c.eventsCheck, &QCheckBox::clicked, this, &MainDialog::OnEventsClick);
  connect(changes_.get(), &ChangeWatch::checkDue, this, &MainDialog::RunCheckOnChange);
  connect(c.runAtStartCheck, &QCheckBox::clicked, this, &MainDialog::OnRunAtStartClick);
  connect(c.localAddressCheck, &QCheckBox::clicked, this, &MainDialog::OnLocalAddressClick);
  connect(c.decimalAddressCheck, &QCheckBox::clicked, this, &MainDialog::OnDecimalAddressClick);
  connect(&timer_, &QTimer::timeout, this, &MainDialog::OnTimer);
}

std::optional<int> MainDialog::IntervalInField() const {
  return ParseIntervalField(ToCp932(controls_.intervalEdit->text()));
}

std::optional<int> MainDialog::CheckedInterval() {
  const std::optional<int> interval = IntervalInField();
  if (!interval) {
    ShowMessage(this, QString::fromUtf8(msg::kIntervalInvalid), MessageButtons::Ok, MessageIcon::Exclamation);
    controls_.intervalEdit->setFocus();
    controls_.intervalEdit->selectAll();
  }
  return interval;
}

ShownRunSettings MainDialog::ShownSettings() const {
  const MainDialogControls& c = controls_;
  return {IntervalInField().value_or(settings_.interval), c.unitButton->unit(),
          c.startMinimizedCheck->isChecked(), c.localAddressCheck->isChecked(),
          c.decimalAddressCheck->isChecked()};
}

void MainDialog::AppendLog(const std::string& text, LogColor color) {
  const std::time_t now = std::time(nullptr);
  controls_.logList->AddLine(FromCp932(MakeLogLine(now, text)), color);
  // The file keeps the log after the window closes; a file that cannot be written is said once.
  if (!logFileFailed_) {
    if (const std::string error = AppendLogFileLine(logFile_, now, text, color); !error.empty()) {
      logFileFailed_ = true;
      controls_.logList->AddLine(FromCp932(MakeLogLine(now, Cp932(msg::kLogFileFailed) + Utf8ToCp932(error))),
                                 log_color::kRed);
    }
  }
}

// The check pauses after each line so it can be seen arriving; before the window has ever been
// shown there is nothing to see.
void MainDialog::showEvent(QShowEvent* event) {
  worker_.SetLinePauses(true);
  QDialog::showEvent(event);
}

void MainDialog::accept() { OnManualRun(); }

void MainDialog::reject() {
  if (!CheckedInterval()) return;
  // Ending from the tray menu leaves no icon of a program that is gone.
  tray_->Remove();
  if (worker_.running()) {
    // The transfer is aborted and the window finishes when the check has ended, within a second
    // or two; a test run's open page view is closed for it.
    quitWhenCheckEnds_ = true;
    worker_.RequestStop();
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != this) modal->close();
    return;
  }
  done(QDialog::Accepted);
}

void MainDialog::closeEvent(QCloseEvent* event) {
  event->ignore();
  OnSysCommand(SysCommand::Close);
}

void MainDialog::OnClearLog() { controls_.logList->clear(); }

// The options are independent of the interval field: a click saves its own option even while
// that field is being edited.
void MainDialog::SaveOption(QCheckBox* box, bool AppSettings::*field) {
  AppSettings updated = settings_;
  updated.*field = box->isChecked();
  if (SaveAppSettings(this, updated)) {
    settings_.*field = updated.*field;
  } else {
    box->setChecked(settings_.*field);
  }
}

void MainDialog::OnStartMinimizedClick() {
  SaveOption(controls_.startMinimizedCheck, &AppSettings::startMinimized);
}

void MainDialog::OnNotifyChoice(int level) {
  if (level == settings_.notify) return;
  AppSettings updated = settings_;
  updated.notify = level;
  if (SaveAppSettings(this, updated)) settings_.notify = level;
  controls_.notifyCombo->setCurrentIndex(std::clamp(settings_.notify, 0, 2));
}

void MainDialog::OnEventsClick(bool checked) {
  if (checked != settings_.events) {
    AppSettings updated = settings_;
    updated.events = checked;
    if (SaveAppSettings(this, updated)) settings_.events = checked;
  }
  controls_.eventsCheck->setChecked(settings_.events);
  changes_->Follow(settings_);
}

void MainDialog::RunCheckOnChange(const char* line) {
  if (worker_.running() || quitWhenCheckEnds_) return;
  AppendLog(Cp932(line), log_color::kBlack);
  RunAddressCheck({}, true);
}

void MainDialog::OnRunAtStartClick() { SaveOption(controls_.runAtStartCheck, &AppSettings::runAtStart); }

void MainDialog::OnLocalAddressClick() {
  SaveOption(controls_.localAddressCheck, &AppSettings::useLocalAddress);
  UpdateRouterButton();
  changes_->Follow(settings_);
}

void MainDialog::OnDecimalAddressClick() {
  SaveOption(controls_.decimalAddressCheck, &AppSettings::decimalAddress);
}

void MainDialog::UpdateRouterButton() {
  controls_.routerSettingsButton->setEnabled(!controls_.localAddressCheck->isChecked());
}

void MainDialog::RunAddressCheck(RunRequest request, bool timed) {
  if (worker_.running() || quitWhenCheckEnds_) return;
  TakeSettingsChangedOutside();
  runSettings_ = settings_;
  runRequest_ = std::move(request);
  runIsTimed_ = timed;
  changes_->CheckStarting();
  if (timed) UpdateTrayIcon(true);
  ShowCheckRunning(true);
  worker_.Start([this, request = runRequest_, state = runState_] { return check_.Run(request, state); });
}

void MainDialog::TakeSettingsChangedOutside() {
  if (!settingsFileStamp_.Changed()) return;
  AppSettings loaded;
  if (!LoadSettingsWithReport(loaded, SettingsFilePath(), {}).fileFound || loaded == settings_) return;
  const bool editsPending = HasUnappliedChanges(ShownSettings(), settings_);
  settings_ = std::move(loaded);
  AppendLog(Cp932(msg::kSettingsChangedOutside), log_color::kBlack);
  // Values typed but not applied stay on screen; otherwise the window shows the new ones.
  if (!editsPending) TakeAppliedRunSettings();
}

void MainDialog::ShowCheckRunning(bool running) {
  controls_.getZepaButton->setEnabled(!running);
  controls_.conversionTestButton->setEnabled(!running);
  for (QMenu* menu : {windowMenu_, trayMenu_}) {
    if (!menu) continue;
    if (auto* runNow = menu->findChild<QAction*>(QStringLiteral("runNowAction")))
      runNow->setEnabled(!running);
  }
  if (running) controls_.countdownLabel->setText(QString::fromUtf8(msg::kCheckRunning));
  else ShowCountdown();
}

void MainDialog::OnCheckFinished(const CheckReport& report) {
  lastReport_ = report;
  if (report.state.dnsTargets != runState_.dnsTargets) {
    const FileWriteResult written = WriteDnsState(DnsStateFilePath(), report.state.dnsTargets);
    if (!written.ok())
      AppendLog(Cp932(msg::kStateFileNotWritten) + Utf8ToCp932(written.reason()), log_color::kRed);
  }
  runState_ = report.state;
  if (runRequest_.mode == RunMode::Publish) {
    // The IPv6 address beside the IPv4 one, while a page or a DNS target uses it.
    controls_.ipv6AddressEdit->setText(QString::fromLatin1(report.ipv6Address));
    controls_.ipv6AddressEdit->setToolTip(QString::fromLatin1(report.ipv6Address));
    controls_.ipv6AddressEdit->setVisible(!report.ipv6Address.empty());
    AfterCheck(report);
  }
  if (runIsTimed_) UpdateTrayIcon(false);
  if (runRequest_.mode == RunMode::Publish) retry_.Record(LeftWorkOwed(report), report.holdOff);
  // The countdown starts over: the period, or less after a failure.
  countdown_ =
      retry_.NextWait(std::chrono::seconds(CheckPeriodSeconds(settings_.intervalUnit, settings_.interval)))
          .count();
  ShowCheckRunning(false);
  emit checkEnded();
  if (quitWhenCheckEnds_) {
    done(QDialog::Accepted);
    return;
  }
  // Posted: a change that came during the check starts its own once this one is wholly done.
  QMetaObject::invokeMethod(
      changes_.get(), [this] { changes_->CheckEnded(); }, Qt::QueuedConnection);
}

void MainDialog::AfterCheck(const CheckReport& report) {
  // A run the user stopped by quitting did not fail: nothing is told of it on the way out.
  if (!quitWhenCheckEnds_)
    aftermath_->Tell({runSettings_, report, notifier_->Notify(runSettings_.notify, report)});
  aftermath_->Run(report, runSettings_, RunStatusFilePath());
}

void MainDialog::TakeAppliedRunSettings() {
  const MainDialogControls& c = controls_;
  c.intervalEdit->setText(QString::number(settings_.interval));
  c.unitButton->setUnit(settings_.intervalUnit);
  c.startMinimizedCheck->setChecked(settings_.startMinimized);
  c.localAddressCheck->setChecked(settings_.useLocalAddress);
  c.decimalAddressCheck->setChecked(settings_.decimalAddress);
  c.runAtStartCheck->setChecked(settings_.runAtStart);
  c.notifyCombo->setCurrentIndex(std::clamp(settings_.notify, 0, 2));
  c.eventsCheck->setChecked(settings_.events);
  UpdateRouterButton();
}

void MainDialog::ShowAddress(const std::string& address) { addressEdit_.Set(address); }

void MainDialog::OnManualRun() { RunByHand(RunMode::Publish, msg::kRunManually); }

void MainDialog::OnConversionTest() { RunByHand(RunMode::ShowPages, msg::kRunAsTest); }

void MainDialog::RunByHand(RunMode mode, const char* logLine) {
  // One check at a time: the window stays live while one runs.
  if (worker_.running()) return;
  // A field without a valid number is said, and counts as the number in force.
  CheckedInterval();
  if (HasUnappliedChanges(ShownSettings(), settings_) &&
      ShowMessage(this, QString::fromUtf8(msg::kUnappliedSettingsQuestion), MessageButtons::OkCancel,
                  MessageIcon::Question) != MessageAnswer::Ok) {
    return;
  }
  // A timed check that fell due while the question was open may still be running.
  if (worker_.running()) return;
  // Unapplied changes are dropped: the window shows what is in force again.
  TakeAppliedRunSettings();
  AppendLog(Cp932(logLine), log_color::kBlack);
  RunAddressCheck({.force = true, .mode = mode});
}

void MainDialog::SetCountdown(int unit, int interval) { countdown_ = CheckPeriodSeconds(unit, interval); }

void MainDialog::OnUnitButton() { controls_.unitButton->setUnit(NextUnit(controls_.unitButton->unit())); }

void MainDialog::OnApplyInterval() {
  // A field without a valid number is said, and the number in force is applied with the unit
  // shown: a number the user can predict, not whatever the field held at some earlier moment.
  const int interval = CheckedInterval().value_or(settings_.interval);
  const int unit = controls_.unitButton->unit();
  AppSettings updated = settings_;
  updated.interval = interval;
  updated.intervalUnit = unit;
  // A period the file does not hold is not put in force: the box says why, the old one runs on.
  if (!SaveAppSettings(this, updated)) return;
  settings_.interval = interval;
  settings_.intervalUnit = unit;
  SetCountdown(unit, interval);
  // A fresh start, so the first second of the new period is a whole one.
  timer_.start(kTimerMilliseconds);
}

void MainDialog::OnTimer() {
  // While a check runs the seconds stand still; the countdown starts again when it ends.
  if (worker_.running()) return;
  if (--countdown_ == 0) {
    AppendLog(Cp932(retry_.failuresInARow() > 0 ? msg::kRunAsRetry : msg::kRunByTimer), log_color::kBlack);
    RunAddressCheck({}, true);
    return;
  }
  ShowCountdown();
}

void MainDialog::ShowCountdown() {
  controls_.countdownLabel->setText(QString::fromUtf8(msg::kCountdownFormat).arg(countdown_, 10));
}

void MainDialog::OnRouterSettings() {
  RunRouterSettingsDialog(this, settings_);
  changes_->Follow(settings_);  // the source may have changed
}

void MainDialog::OnDnsSettings() { RunDnsSettingsDialog(this, settings_, lastReport_.dottedAddress); }

void MainDialog::OnNotifySettings() { RunNotifySettingsDialog(this, settings_); }
void MainDialog::OnFtpSettings() { RunFtpSettingsDialog(this, settings_); }

void MainDialog::OnPageSettings() {
  PageSettingsDialog dialog(this);
  dialog.exec();
}

void MainDialog::OpenPublicPage() {
  // The interval field is checked as by every command that reads the window, but the page
  // opens either way: it does not depend on the period.
  CheckedInterval();
  const std::optional<std::string> url = PublicPageUrl(settings_.homePageAddress, lastAddress());
  if (!url) {
    ShowMessage(this, QString::fromUtf8(msg::kGetAddressFirst), MessageButtons::Ok, MessageIcon::Exclamation);
    return;
  }
  OpenInBrowser(this, QUrl(FromCp932(*url)), openUrl_);
}

// Without a notification area a hidden window could never come back: it is minimized instead.
void MainDialog::OnHideToTray() {
  if (!trayAvailable_ || !trayAvailable_()) {
    if (!isMinimized()) showMinimized();
    return;
  }
  tray_->Add();
  hide();
}

void MainDialog::OnTrayNotify(QSystemTrayIcon::ActivationReason reason) {
  if (reason != QSystemTrayIcon::Trigger) return;  // the icon shows its menu by itself
  const bool wasVisible = isVisible();
  setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
  if (!wasVisible) tray_->Remove();
}

// Only a hidden window has an icon to change.
void MainDialog::UpdateTrayIcon(bool running) {
  if (isVisible()) return;
  tray_->SetRunning(running);
}

bool MainDialog::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip && childAt(static_cast<QHelpEvent*>(event)->pos())) {
    QToolTip::hideText();
    event->ignore();
    return true;
  }
  return QDialog::event(event);
}

void MainDialog::OnContextMenu(const QPoint& screenPoint) { windowMenu_->popup(screenPoint); }

void MainDialog::OnSysCommand(SysCommand command) {
  switch (command) {
    case SysCommand::Minimize:
      OnHideToTray();
      break;
    case SysCommand::Close:
      break;  // the program ends only through its own quit commands
    case SysCommand::About:
      ShowAboutDialog();
      break;
  }
}

void MainDialog::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && isMinimized() && isVisible()) {
    OnSysCommand(SysCommand::Minimize);
  }
}

void MainDialog::contextMenuEvent(QContextMenuEvent* event) {
  // From the keyboard the menu opens just inside the window's top-left corner.
  OnContextMenu(event->reason() == QContextMenuEvent::Keyboard ? mapToGlobal(QPoint(5, 5))
                                                               : event->globalPos());
}

void MainDialog::keyPressEvent(QKeyEvent* event) {
  const bool menuKey = event->key() == Qt::Key_Menu ||
                       (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
  if (!menuKey) {
    QDialog::keyPressEvent(event);
    return;
  }
  QWidget* target = focusWidget() ? focusWidget() : this;
  QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, target->rect().center(),
                              target->mapToGlobal(target->rect().center()));
  QApplication::sendEvent(target, &menuEvent);
}

}  // namespace zepa2::ui
