#include "ui/common/server_key_prompt.h"

#include <QLineEdit>
#include <QPushButton>

#include "core/text/messages.h"
#include "ui/common/message_box.h"
#include "ui/common/off_ui_thread.h"

namespace zepa2::ui {

std::optional<std::string> AskToTrustServerKey(QWidget* parent, const QString& server,
                                               net::KeyTrouble trouble, const std::string& pinned,
                                               const KeyLearner& learn) {
  if (trouble != net::KeyTrouble::Changed && trouble != net::KeyTrouble::Unverified) return std::nullopt;
  // Both cases show the key the server presents: to pin it, or to compare it with the pinned one.
  const net::PresentedKey presented = RunOffUiThread<net::PresentedKey>(parent, learn);
  if (trouble == net::KeyTrouble::Changed) {
    const QString now =
        presented.pin ? QString::fromStdString(*presented.pin) : QString::fromUtf8(msg::kKeyNotLearned);
    ShowMessage(parent,
                QString::fromUtf8(msg::kKeyChangedBox).arg(server, QString::fromStdString(pinned), now),
                MessageButtons::Ok, MessageIcon::Exclamation);
    return std::nullopt;
  }
  if (!presented.pin) return std::nullopt;
  const QString question =
      QString::fromUtf8(msg::kTrustKeyQuestion).arg(server, QString::fromStdString(*presented.pin));
  if (ShowMessage(parent, question, MessageButtons::OkCancel, MessageIcon::Question) != MessageAnswer::Ok) {
    return std::nullopt;
  }
  return presented.pin;
}

void ShowPin(QLineEdit* field, QPushButton* forget, const std::string& pin) {
  const QString text = QString::fromStdString(pin);
  field->setText(text);
  field->setCursorPosition(0);
  field->setToolTip(text);
  forget->setEnabled(!pin.empty());
}

std::string PinShown(const QLineEdit* field) { return field->text().toStdString(); }

bool ConfirmForgetPin(QWidget* parent) {
  return ShowMessage(parent, QString::fromUtf8(msg::kForgetPinQuestion), MessageButtons::YesNo,
                     MessageIcon::Question) == MessageAnswer::Yes;
}

void AttemptTrustingKey(QWidget* parent, const QString& server, std::string& pin, const KeyLearner& learn,
                        const std::function<net::KeyTrouble()>& attempt,
                        const std::function<void()>& pinTaken) {
  const net::KeyTrouble trouble = attempt();
  if (trouble == net::KeyTrouble::None) return;
  const std::optional<std::string> trusted = AskToTrustServerKey(parent, server, trouble, pin, learn);
  if (!trusted) return;
  pin = *trusted;
  if (pinTaken) pinTaken();
  attempt();
}

}  // namespace zepa2::ui
