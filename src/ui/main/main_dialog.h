// The main window: activity log, current address, interval, options and commands; the hub the
// address check and publishing report to.
#pragma once

#include <QDialog>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QUrl>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/check/check_session.h"
#include "core/run/check_host.h"
#include "core/publish/page_publisher.h"
#include "core/publish/page_uploader.h"
#include "core/schedule/retry_schedule.h"
#include "core/settings/app_settings.h"
#include "core/settings/settings_file_stamp.h"
#include "core/settings/settings_store.h"
#include "core/sys/pause.h"
#include "ui/main/aftermath_runner.h"
#include "ui/main/change_watch.h"
#include "ui/main/check_worker.h"
#include "ui/main/desktop_notices.h"
#include "ui/common/browser_open.h"
#include "ui/common/cp932_text.h"
#include "ui/main/main_dialog_controls.h"
#include "ui/main/shown_run_settings.h"
#include "ui/main/tray_icon.h"

class QCheckBox;
class QMenu;

namespace zepa2::ui {

class MainDialog : public QDialog {
  Q_OBJECT

 public:
  // settings is the program's settings record; it outlives the dialog. pause replaces the checks'
  // real pauses (which quitting cuts short) when given: tests pass one that returns at once.
  explicit MainDialog(AppSettings& settings, PauseFunction pause = {}, QWidget* parent = nullptr);
  ~MainDialog() override;

  // One activity-log line, with the time stamp in front (CP932 text).
  void AppendLog(const std::string& text, LogColor color);

  // Enter and "Get Zepa!": a check by hand. Never closes the window.
  void accept() override;
  // Esc, "終了" and the menus' "終了": end the program, unless the interval field holds no valid
  // number. A running check is stopped first; the window finishes as soon as it has ended.
  void reject() override;

  // How "ブラウザで確認" opens the page; the desktop's browser unless a test looks instead.
  // When it fails, a box gives the address to open by hand.
  void SetUrlOpener(UrlOpener openUrl);
  // Whether the desktop has a notification area to hide the window into; asked at each minimize.
  void SetTrayAvailability(std::function<bool()> available);
  // Where notices after a check go: the tray icon's balloon while it is shown, otherwise the
  // desktop's notification service, unless a test records them instead. Both outlive the window.
  void SetNoticeChannels(NoticeChannel& tray, NoticeChannel& bus);
  // Whether the status file and the command after publishing of a check are still being seen to.
  bool aftermathBusy() const { return aftermath_->busy(); }

  // The address the window shows, which the last check took (empty until one did), CP932.
  std::string lastAddress() const { return addressEdit_.Get(); }
  const TrayIcon& tray() const { return *tray_; }
  bool checkRunning() const { return worker_.running(); }
  // The report of the last check that ended, and what that check (or the running one) was asked.
  const CheckReport& lastReport() const { return lastReport_; }
  const RunRequest& lastRequest() const { return runRequest_; }
  // Seconds to the next timed check.
  std::int64_t secondsToNextCheck() const { return countdown_; }
  // Moves the next timed check without waiting out the period: tests bring one forward by
  // setting 1 and ticking once. The label shows the new count at the next tick.
  void SetSecondsToNextCheck(std::int64_t seconds) { countdown_ = seconds; }

 signals:
  // A check ended and its report is in lastReport().
  void checkEnded();

 public:
  // What the window does with a window-manager command.
  enum class SysCommand { Minimize, Close, About };

 public slots:
  void OnManualRun();
  void OnConversionTest();
  void OnClearLog();
  void OnStartMinimizedClick();
  void OnRunAtStartClick();
  void OnLocalAddressClick();
  void OnDecimalAddressClick();
  // "通知": none, failures only, every publish.
  void OnNotifyChoice(int level);
  // "変化時に確認": whether a change of the network or the router's word starts a check.
  void OnEventsClick(bool checked);
  // Countdown and interval unit.
  void SetCountdown(int unit, int interval);
  // Shows the next unit; only "設定" applies and saves it.
  void OnUnitButton();
  void OnApplyInterval();
  // One second passed: counts down and runs the timed check at zero.
  void OnTimer();
  // Settings dialogs (the router and FTP ones are filled in with those dialogs).
  void OnRouterSettings();
  void OnDnsSettings();
  void OnNotifySettings();
  void OnFtpSettings();
  void OnPageSettings();
  void OpenPublicPage();
  // Tray and pop-up menus.
  void OnHideToTray();
  void OnTrayNotify(QSystemTrayIcon::ActivationReason reason);
  void UpdateTrayIcon(bool running);
  void OnContextMenu(const QPoint& screenPoint);
  void OnSysCommand(SysCommand command);

 protected:
  // The title bar's close box and Alt+F4 do nothing; the program ends only through "終了" or Esc.
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  // Minimizing goes into the tray.
  void changeEvent(QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  // Shift+F10 and the menu key ask the focused control for its menu, the window's when it has none.
  void keyPressEvent(QKeyEvent* event) override;
  // The window's own tooltip is for the window's background: a child without a tip of its own
  // shows none rather than the product name.
  bool event(QEvent* event) override;

 private:
  void OnInitDialog();
  void HideToTrayAtStart();
  void RunCheckAtStart();
  void ConnectCommands();
  void BuildMenus();
  // Starts one check on the worker unless one is already running; the window stays live and
  // OnCheckFinished takes the report. timed: a check of the countdown.
  void RunAddressCheck(RunRequest request, bool timed = false);
  // Every check's report arrives here, on the UI thread.
  void OnCheckFinished(const CheckReport& report);
  // After a check that was no test run: the notice, then, beside the window, the status file and
  // the command after publishing.
  void AfterCheck(const CheckReport& report);
  // The forced check by hand: a manual run (Publish) or a conversion test (ShowPages).
  void RunByHand(RunMode mode, const char* logLine);
  void ShowAddress(const std::string& address);
  void ShowCountdown();
  // While a check runs, what would start another is disabled and the countdown says so.
  void ShowCheckRunning(bool running);
  // Puts the settings in force into their controls: the five run settings, which drops what was
  // typed or clicked and not applied, and the options saved on their own.
  void TakeAppliedRunSettings();
  // The five run settings as the controls show them; an interval field without a valid number
  // shows the one in force.
  ShownRunSettings ShownSettings() const;
  // The number in the interval field, or nothing when it holds no whole number in 0..9999.
  std::optional<int> IntervalInField() const;
  // The same; when the field holds none, a box says so and the cursor goes into the field.
  std::optional<int> CheckedInterval();
  // Saves the option box as it is now; when that fails (its box says why) the box shows the
  // stored option again.
  void SaveOption(QCheckBox* box, bool AppSettings::*field);
  void UpdateRouterButton();
  // Takes the settings file when another program (zepa2-check config) changed it since the last
  // check; the window's own saves read back as what it already holds.
  void TakeSettingsChangedOutside();
  // The check the listeners' merged changes asked for; line (UTF-8) says what started it.
  void RunCheckOnChange(const char* line);

  AppSettings& settings_;
  // The settings a check works with, taken from settings_ as it starts: a dialog may save new
  // ones while it runs.
  AppSettings runSettings_;
  SettingsFileStamp settingsFileStamp_{SettingsFilePath()};
  MainDialogControls controls_;
  // The address field, read only: it gives back the bytes the check found.
  Cp932Edit addressEdit_{nullptr};
  // Seconds to the next timed check; wide enough for any period a hand-edited file may hold.
  std::int64_t countdown_ = 0;
  QTimer timer_;
  CheckWorker worker_;
  // What the running (or last) check was asked, and the state the next one starts from.
  RunRequest runRequest_;
  RunState runState_;
  bool runIsTimed_ = false;
  bool quitWhenCheckEnds_ = false;
  CheckReport lastReport_;
  PageUploader uploader_;
  PagePublisher publisher_;
  CheckSession check_;
  UrlOpener openUrl_;
  std::function<bool()> trayAvailable_;
  QMenu* windowMenu_ = nullptr;
  QMenu* trayMenu_ = nullptr;
  std::unique_ptr<TrayIcon> tray_;
  std::unique_ptr<TrayNoticeChannel> trayNotices_;
  BusNoticeChannel busNotices_;
  std::unique_ptr<CheckNotifier> notifier_;
  // When the next timed check comes after the checks so far: sooner after failures.
  RetrySchedule retry_;
  std::unique_ptr<ChangeWatch> changes_;
  std::filesystem::path logFile_;
  bool logFileFailed_ = false;
  // Last, so that its thread (and a command still running) ends before the rest goes.
  std::unique_ptr<AftermathRunner> aftermath_;
};

}  // namespace zepa2::ui
