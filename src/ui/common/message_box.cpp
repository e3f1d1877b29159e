#include "ui/common/message_box.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QtGlobal>
#include <algorithm>
#include <deque>

#include "ui/common/wait_cursor.h"

namespace zepa2::ui {
namespace {

struct SeamState {
  bool intercepting = false;
  std::deque<MessageAnswer> answers;
  std::vector<ShownMessage> shown;
};

SeamState& Seam() {
  static SeamState state;
  return state;
}

MessageAnswer SafeAnswer(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok:
      return MessageAnswer::Ok;
    case MessageButtons::OkCancel:
      return MessageAnswer::Cancel;
    case MessageButtons::YesNo:
      return MessageAnswer::No;
  }
  return MessageAnswer::Ok;
}

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::None:
      return QMessageBox::NoIcon;
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Exclamation:
      return QMessageBox::Warning;
    case MessageIcon::Question:
      return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

// Over the middle of the window that asks, or of the screen when that window is not on it (hidden
// in the tray, or not shown yet): a box must never turn up in a corner, far from its question.
void CentreOn(QMessageBox& box, QWidget* parent) {
  box.adjustSize();
  QWidget* asking = parent ? parent->window() : nullptr;
  QRect area;
  if (asking && asking->isVisible() && !asking->isMinimized()) {
    area = asking->frameGeometry();
  } else if (QScreen* screen = asking ? asking->screen() : QGuiApplication::primaryScreen()) {
    area = screen->availableGeometry();
  }
  if (area.isValid()) box.move(area.center() - box.rect().center());
}

// A line that is one run of printable ASCII: a key's fingerprint, an address, a path.
bool IsOneToken(const QString& line) {
  return !line.isEmpty() && std::all_of(line.begin(), line.end(),
                                        [](QChar c) { return c.unicode() > 0x20 && c.unicode() < 0x7F; });
}

// The line breaker would cut such a line at its '/' or '+', and a key cut in two cannot be read
// or compared: the text is made at least as wide as the widest, as far as the screen allows.
// Running Japanese text still wraps, between characters as Japanese does.
void KeepTokenLinesWhole(QMessageBox& box, const QString& text) {
  auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  if (!label) return;
  const QFontMetrics metrics(label->font());
  int widest = 0;
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    if (IsOneToken(line))
      widest = std::max(widest, metrics.horizontalAdvance(line) + 2 * label->margin() + 2);
  }
  if (widest == 0) return;
  if (const QScreen* screen = box.screen())
    widest = std::min(widest, screen->availableGeometry().width() * 3 / 4);
  label->setMinimumWidth(widest);
}

}  // namespace

MessageAnswer ShowMessage(QWidget* parent, const QString& text, MessageButtons buttons, MessageIcon icon) {
  SeamState& seam = Seam();
  if (seam.intercepting) {
    seam.shown.push_back({text, buttons, icon});
    if (buttons == MessageButtons::Ok) {
      if (!seam.answers.empty()) seam.answers.pop_front();
      return MessageAnswer::Ok;
    }
    if (seam.answers.empty()) {
      qWarning("message box answered with the safe default (nothing queued): %s", qPrintable(text));
      return SafeAnswer(buttons);
    }
    MessageAnswer a = seam.answers.front();
    seam.answers.pop_front();
    return a;
  }

  QMessageBox box(ToQtIcon(icon), QStringLiteral("ZEPA2"), text, QMessageBox::NoButton, parent);
  switch (buttons) {
    case MessageButtons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case MessageButtons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      box.setEscapeButton(QMessageBox::Cancel);
      break;
    case MessageButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setEscapeButton(QMessageBox::No);
      break;
  }
  KeepTokenLinesWhole(box, text);
  CentreOn(box, parent);
  const NormalCursorWhileAsking pointer;
  switch (box.exec()) {
    case QMessageBox::Ok:
      return MessageAnswer::Ok;
    case QMessageBox::Yes:
      return MessageAnswer::Yes;
    case QMessageBox::No:
      return MessageAnswer::No;
    case QMessageBox::Cancel:
      return MessageAnswer::Cancel;
    default:
      return SafeAnswer(buttons);
  }
}

void MessageBoxSeam::Intercept(bool on) {
  Seam().intercepting = on;
  Seam().answers.clear();
  Seam().shown.clear();
}

void MessageBoxSeam::QueueAnswer(MessageAnswer answer) { Seam().answers.push_back(answer); }

std::vector<ShownMessage> MessageBoxSeam::TakeShown() {
  std::vector<ShownMessage> out;
  out.swap(Seam().shown);
  return out;
}

}  // namespace zepa2::ui
