// The main window: activity log, current address, interval, options and commands; the hub the
// address check and publishing report to.
#pragma once

#include <QDialog>
#include <QTimer>
#include <chrono>
#include <functional>
#include <string>

#include "core/address/check_host.h"
#include "core/settings/app_settings.h"
#include "ui/main/main_dialog_controls.h"

namespace zepa2::ui {

// Blocks for the given time. The program sleeps for real; tests pass one that returns at once.
using PauseFunction = std::function<void(std::chrono::milliseconds)>;
void SleepPause(std::chrono::milliseconds duration);

class MainDialog : public QDialog, public CheckHost {
  Q_OBJECT

 public:
  // settings is the program's settings record; it outlives the dialog.
  explicit MainDialog(AppSettings& settings, PauseFunction pause = SleepPause,
                      QWidget* parent = nullptr);
  ~MainDialog() override;

  // CheckHost
  void AppendLog(const std::string& text, LogColor color) override;
  void Pause(std::chrono::milliseconds duration) override;
  void SetBusy(bool busy) override;
  void ShowGeneratedPage(const std::string& page) override;
  std::time_t Now() override;

  // Enter and "Get Zepa!": a check by hand. Never closes the window.
  void accept() override;
  // Esc and "終了": end the program, unless the interval field holds no valid number.
  void reject() override;

  // Run-time state the address check, publishing and the countdown work on.
  int testRun = 0;
  int unitIndex = 0;
  std::string lastAddress;
  std::string routerPageText;
  int intervalValue = 10;
  std::string currentAddressText;
  int localAddressCheck = 0;
  int startMinimizedCheck = 0;
  int decimalAddressCheck = 0;
  int runAtStartCheck = 0;
  int countdown = 0;

 public slots:
  void OnManualRun();
  void OnClearLog();
  void OnStartMinimizedClick();
  void OnRunAtStartClick();
  void OnLocalAddressClick();
  void OnDecimalAddressClick();
  // Countdown and interval unit (filled in with the scheduler).
  void SetCountdown();
  void ShowUnit();
  void OnUnitButton();
  void OnApplyInterval();
  void OnTimer();
  // Commands of the settings dialogs, publishing and the test run (filled in with those).
  void OnRouterSettings();
  void OnFtpSettings();
  void OnPageSettings();
  void OpenPublicPage();
  void OnConversionTest();

 protected:
  // The title bar's close box and Alt+F4 do nothing; the program ends only through "終了" or Esc.
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void OnInitDialog();
  void HideToTrayAtStart();
  void RunCheckAtStart();
  void ConnectCommands();
  // Reads the controls into the members. An invalid interval keeps the old value and, when asked,
  // tells the user and puts the cursor into the field; the result says whether it was valid.
  bool TakeControlValues(bool reportInvalidInterval);
  void ShowMembers();
  void SaveOption(int& member, int AppSettings::*field);
  void UpdateRouterButton();

  AppSettings& settings_;
  PauseFunction pause_;
  MainDialogControls controls_;
  QTimer timer_;
  bool shownOnce_ = false;
};

}  // namespace zepa2::ui
