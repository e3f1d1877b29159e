// The notice settings dialog (通知設定): mail, webhook and heartbeat, each with a テスト that sends now.
#pragma once

#include <QDialog>

#include "core/notify/notice_delivery.h"
#include "core/settings/app_settings.h"
#include "ui/common/cp932_text.h"
#include "ui/common/setting_bindings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace zepa2::ui {

class NotifySettingsDialog : public QDialog {
  Q_OBJECT

 public:
  NotifySettingsDialog(AppSettings& settings, QWidget* parent = nullptr);

  void accept() override;  // Enter and "設定": checks, then saves
  void reject() override;  // Esc and "ｷｬﾝｾﾙ": asks first

 private:
  void BuildControls();
  // The settings as the controls hold them now.
  AppSettings Edited() const;
  void OnTest(NoticeChannelKind channel);

  AppSettings& settings_;
  FieldBindings<NotifyChannels> fields_;
  Cp932Edit mailServerEdit_{nullptr};
  QCheckBox* mailTlsCheck_ = nullptr;
  Cp932Edit mailUserEdit_{nullptr};
  Cp932Edit mailPassEdit_{nullptr};
  Cp932Edit mailFromEdit_{nullptr};
  Cp932Edit mailToEdit_{nullptr};
  QLineEdit* mailPinEdit_ = nullptr;
  QPushButton* mailPinForget_ = nullptr;
  Cp932Edit webhookUrlEdit_{nullptr};
  QComboBox* webhookKindCombo_ = nullptr;
  QLineEdit* webhookPinEdit_ = nullptr;
  QPushButton* webhookPinForget_ = nullptr;
  Cp932Edit pingUrlEdit_{nullptr};
};

// Runs the dialog modally over parent; "設定" has already saved when it returns.
void RunNotifySettingsDialog(QWidget* parent, AppSettings& settings);

}  // namespace zepa2::ui
