// Message boxes of the program, with a seam that lets tests answer them without a modal loop.
#pragma once

#include <QString>
#include <vector>

class QWidget;

namespace zepa2::ui {

enum class MessageIcon { None, Information, Exclamation, Question };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// Shows a modal box titled "ZEPA2", centred on parent's window (on the screen when that is not
// shown), and returns the button the user chose. Esc gives Cancel/No.
MessageAnswer ShowMessage(QWidget* parent, const QString& text, MessageButtons buttons = MessageButtons::Ok,
                          MessageIcon icon = MessageIcon::Exclamation);

struct ShownMessage {
  QString text;
  MessageButtons buttons;
  MessageIcon icon;
};

// While intercepting, ShowMessage shows nothing: it records the box and returns the next queued
// answer (Ok for a box with only OK; with nothing queued a question gets the safe Cancel/No).
class MessageBoxSeam {
 public:
  static void Intercept(bool on);
  static void QueueAnswer(MessageAnswer answer);
  static std::vector<ShownMessage> TakeShown();
};

}  // namespace zepa2::ui
