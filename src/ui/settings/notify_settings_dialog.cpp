#include "ui/settings/notify_settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/notify/webhook_kind.h"
#include "core/settings/notify_fields.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"
#include "core/text/notify_messages.h"
#include "ui/common/dialog_controls.h"
#include "ui/common/dialog_units.h"
#include "ui/common/message_box.h"
#include "ui/common/off_ui_thread.h"
#include "ui/common/server_key_prompt.h"
#include "ui/common/settings_io.h"

namespace zepa2::ui {

NotifySettingsDialog::NotifySettingsDialog(AppSettings& settings, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), settings_(settings) {
  BuildControls();
  fields_.Text(mailServerEdit_, &NotifyChannels::mailServer);
  fields_.Flag(mailTlsCheck_, &NotifyChannels::mailTls);
  fields_.Text(mailUserEdit_, &NotifyChannels::mailUser);
  fields_.Text(mailPassEdit_, &NotifyChannels::mailPass);
  fields_.Text(mailFromEdit_, &NotifyChannels::mailFrom);
  fields_.Text(mailToEdit_, &NotifyChannels::mailTo);
  // Read only: pins are set by the configuration command, and only forgotten here.
  fields_.Pin(mailPinEdit_, mailPinForget_, &NotifyChannels::mailPin, &NotifyChannels::unreadableMailPin);
  fields_.Text(webhookUrlEdit_, &NotifyChannels::webhookUrl);
  fields_.Choice(webhookKindCombo_, &NotifyChannels::webhookKind);
  fields_.Pin(webhookPinEdit_, webhookPinForget_, &NotifyChannels::webhookPin,
              &NotifyChannels::unreadableWebhookPin);
  fields_.Text(pingUrlEdit_, &NotifyChannels::pingUrl);
  fields_.Show(settings.notifyChannels);
}

void NotifySettingsDialog::BuildControls() {
  setObjectName(QStringLiteral("notifySettingsDialog"));
  setWindowTitle(QString::fromUtf8(msg::kNotifySettingsCaption));
  const DialogUnits du(font());
  setFixedSize(du.Size(300, 280));

  const auto edit = [&](const char* name, const char* caption, int y, int width) {
    AddControl<QLabel>(this, du, (std::string(name) + "Label").c_str(), caption, 14, y + 2, 50, 8);
    return AddControl<QLineEdit>(this, du, (std::string(name) + "Edit").c_str(), nullptr, 66, y, width, 12);
  };
  const auto pin = [&](const char* name, int y, QLineEdit*& pinEdit, QPushButton*& forget) {
    pinEdit = edit(name, msg::kNotifyPinLabel, y, 170);
    pinEdit->setReadOnly(true);
    forget = AddControl<QPushButton>(this, du, (std::string(name) + "ForgetButton").c_str(), msg::kForgetPin,
                                     240, y - 1, 50, 14);
    connect(forget, &QPushButton::clicked, this, [this, pinEdit, forget] {
      if (ConfirmForgetPin(this)) ShowPin(pinEdit, forget, {});
    });
  };
  const auto test = [&](const char* name, int y, NoticeChannelKind channel) {
    auto* button = AddControl<QPushButton>(this, du, name, msg::kNotifyTestButton, 240, y, 50, 14);
    connect(button, &QPushButton::clicked, this, [this, channel] { OnTest(channel); });
  };

  AddControl<QGroupBox>(this, du, "mailGroup", msg::kNotifyMailGroup, 7, 5, 286, 140);
  mailServerEdit_ = Cp932Edit(edit("mailServer", msg::kNotifyMailServerLabel, 17, 170));
  test("mailTestButton", 16, NoticeChannelKind::Mail);
  mailTlsCheck_ = AddControl<QCheckBox>(this, du, "mailTlsCheck", msg::kNotifyMailTlsLabel, 66, 33, 170, 10);
  mailUserEdit_ = Cp932Edit(edit("mailUser", msg::kNotifyMailUserLabel, 47, 110));
  QLineEdit* pass = edit("mailPass", msg::kNotifyMailPassLabel, 63, 110);
  pass->setEchoMode(QLineEdit::Password);
  mailPassEdit_ = Cp932Edit(pass);
  mailFromEdit_ = Cp932Edit(edit("mailFrom", msg::kNotifyMailFromLabel, 79, 224));
  mailToEdit_ = Cp932Edit(edit("mailTo", msg::kNotifyMailToLabel, 95, 224));
  pin("mailPin", 111, mailPinEdit_, mailPinForget_);

  AddControl<QGroupBox>(this, du, "webhookGroup", msg::kNotifyWebhookGroup, 7, 150, 286, 64);
  webhookUrlEdit_ = Cp932Edit(edit("webhookUrl", msg::kNotifyWebhookUrlLabel, 162, 170));
  test("webhookTestButton", 161, NoticeChannelKind::Webhook);
  AddControl<QLabel>(this, du, "webhookKindLabel", msg::kNotifyWebhookKindLabel, 14, 180, 50, 8);
  webhookKindCombo_ = AddControl<QComboBox>(this, du, "webhookKindCombo", nullptr, 66, 178, 80, 12);
  for (const WebhookKindRow& row : WebhookKinds()) webhookKindCombo_->addItem(QString::fromUtf8(row.caption));
  pin("webhookPin", 195, webhookPinEdit_, webhookPinForget_);

  AddControl<QGroupBox>(this, du, "pingGroup", msg::kNotifyPingGroup, 7, 219, 286, 30);
  pingUrlEdit_ = Cp932Edit(edit("pingUrl", msg::kNotifyPingUrlLabel, 231, 170));
  test("pingTestButton", 230, NoticeChannelKind::Heartbeat);

  auto* ok = AddControl<QPushButton>(this, du, "okButton", msg::kRouterSettingsOk, 180, 258, 52, 14);
  auto* cancel =
      AddControl<QPushButton>(this, du, "cancelButton", msg::kRouterSettingsCancel, 238, 258, 52, 14);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &NotifySettingsDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &NotifySettingsDialog::reject);
}

AppSettings NotifySettingsDialog::Edited() const {
  AppSettings edited = settings_;
  fields_.Store(edited.notifyChannels);
  return edited;
}

// The channel's own sending with a test notice; its lines are the answer shown.
void NotifySettingsDialog::OnTest(NoticeChannelKind channel) {
  const AppSettings edited = Edited();
  if (auto problem = NotifyFieldProblem(edited.notifyChannels)) {
    ShowMessage(this, QString::fromStdString(*problem), MessageButtons::Ok, MessageIcon::Exclamation);
    return;
  }
  struct Answer {
    std::string lines;  // CP932
    bool failed = false;
  };
  const Answer answer = RunOffUiThread<Answer>(this, [&](const StopToken& stop) {
    Answer lines;
    SendTestNotice(channel, edited,
                   [&lines](const std::string& text, LogColor color) {
                     (lines.lines += text) += "\n";
                     lines.failed = lines.failed || color == log_color::kRed;
                   },
                   {&stop, kNoticeDeadline});
    return lines;
  });
  if (answer.lines.empty()) return;  // the channel is not set up: nothing was sent
  ShowMessage(this, FromCp932(answer.lines).trimmed(), MessageButtons::Ok,
              answer.failed ? MessageIcon::Exclamation : MessageIcon::Information);
}

// The settings in memory change only together with the file, and only as the rules allow.
void NotifySettingsDialog::accept() {
  AppSettings updated = Edited();
  if (auto problem = NotifyFieldProblem(updated.notifyChannels)) {
    ShowMessage(this, QString::fromStdString(*problem), MessageButtons::Ok, MessageIcon::Exclamation);
    return;
  }
  if (!SaveAppSettings(this, updated)) return;
  settings_ = std::move(updated);
  QDialog::accept();
}

void NotifySettingsDialog::reject() {
  const MessageAnswer answer = ShowMessage(this, QString::fromUtf8(msg::kCancelSettingsQuestion),
                                           MessageButtons::YesNo, MessageIcon::Question);
  if (answer == MessageAnswer::Yes) QDialog::reject();
}

void RunNotifySettingsDialog(QWidget* parent, AppSettings& settings) {
  NotifySettingsDialog dialog(settings, parent);
  dialog.exec();
}

}  // namespace zepa2::ui
