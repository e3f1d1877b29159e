// The controls of the main window, created in tab order at their template positions.
#pragma once

class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zepa2::ui {

class ActivityLog;
class UnitButton;

struct MainDialogControls {
  QPushButton* getZepaButton = nullptr;
  QCheckBox* startMinimizedCheck = nullptr;
  QCheckBox* runAtStartCheck = nullptr;
  QCheckBox* localAddressCheck = nullptr;
  QCheckBox* decimalAddressCheck = nullptr;
  QLineEdit* intervalEdit = nullptr;
  UnitButton* unitButton = nullptr;
  QPushButton* applyButton = nullptr;
  QLineEdit* addressEdit = nullptr;
  QLineEdit* ipv6AddressEdit = nullptr;  // under the address; shown while a page or target uses IPv6
  QPushButton* routerSettingsButton = nullptr;
  QPushButton* ftpSettingsButton = nullptr;
  QPushButton* pageSettingsButton = nullptr;  // never shown nor enabled
  QPushButton* clearLogButton = nullptr;
  QPushButton* browserButton = nullptr;
  QPushButton* quitButton = nullptr;
  ActivityLog* logList = nullptr;
  QLabel* titleLabel = nullptr;
  QLabel* versionLabel = nullptr;
  QLabel* countdownLabel = nullptr;
  QPushButton* conversionTestButton = nullptr;
  QComboBox* notifyCombo = nullptr;  // [SYSTEM] Notify: none, failures only, every publish
  QCheckBox* eventsCheck = nullptr;  // [SYSTEM] Events: a change of the network starts a check
};

// Creates every control as a child of dialog, sizes the dialog, and returns the controls.
MainDialogControls BuildMainDialogControls(QDialog* dialog);

}  // namespace zepa2::ui
