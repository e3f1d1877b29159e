// The DNS settings dialog: the five DNS targets, each kind's fields, and a test that sends one update now.
#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "core/settings/app_settings.h"
#include "ui/common/cp932_text.h"
#include "ui/common/setting_bindings.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zepa2::ui {

class DnsSettingsDialog : public QDialog {
  Q_OBJECT

 public:
  // address: the IPv4 address the window found last (CP932, dotted), which the test sends; empty
  // before any check.
  DnsSettingsDialog(AppSettings& settings, std::string address, QWidget* parent = nullptr);

  void accept() override;  // Enter and "設定": saves
  void reject() override;  // Esc and "ｷｬﾝｾﾙ": asks first

 private:
  void BuildControls();
  void BindShownTarget();
  // Shows the fields the chosen kind uses, with their kind's labels.
  void ShowFieldsOfKind();
  void OnTargetChange();
  void OnTest();

  AppSettings& settings_;
  std::string address_;
  RecordsOnShow<DnsTarget, kDnsSlots> targets_;  // the target's controls and every target as edited

  QComboBox* targetCombo_ = nullptr;
  QComboBox* kindCombo_ = nullptr;
  QComboBox* recordsCombo_ = nullptr;
  QLabel* urlLabel_ = nullptr;
  QLabel* passLabel_ = nullptr;
  QLabel* userLabel_ = nullptr;
  Cp932Edit urlEdit_{nullptr};
  Cp932Edit userEdit_{nullptr};
  Cp932Edit passEdit_{nullptr};
  Cp932Edit hostEdit_{nullptr};
  Cp932Edit zoneEdit_{nullptr};
  Cp932Edit suffixEdit_{nullptr};
  Cp932Edit matchEdit_{nullptr};
  Cp932Edit apiEdit_{nullptr};
  Cp932Edit algorithmEdit_{nullptr};
  Cp932Edit ttlEdit_{nullptr};
  QLineEdit* pinEdit_ = nullptr;  // the shown target's pinned key, read only
  QPushButton* forgetPinButton_ = nullptr;
};

// Runs the dialog modally over parent; "設定" has already saved when it returns.
void RunDnsSettingsDialog(QWidget* parent, AppSettings& settings, const std::string& address);

}  // namespace zepa2::ui
