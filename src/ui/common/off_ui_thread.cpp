#include "ui/common/off_ui_thread.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <thread>
#include <vector>

#include "ui/common/dialog_units.h"
#include "ui/common/wait_cursor.h"

namespace zepa2::ui {
namespace {

constexpr const char* kBusyLabelName = "busyLabel";
constexpr const char* kCancelButtonName = "cancelButton";

// The dialog's own ｷｬﾝｾﾙ: during a step it stops the step, as Esc does.
QPushButton* CancelButtonOf(QWidget* dialog) {
  return dialog->findChild<QPushButton*>(QLatin1String(kCancelButtonName), Qt::FindDirectChildrenOnly);
}

// Keeps the user's keys and the window manager's close away from a busy dialog; Esc stops the step.
class BusyDialogFilter : public QObject {
 public:
  BusyDialogFilter(QWidget* dialog, StopToken& stop)
      : dialog_(dialog), cancel_(CancelButtonOf(dialog)), stop_(stop) {
    QCoreApplication::instance()->installEventFilter(this);
  }
  ~BusyDialogFilter() override { QCoreApplication::instance()->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!InDialog(watched)) return false;
    if (cancel_ && watched == cancel_) {
      // The press stops the step; neither it nor the release reaches the button, whose own click
      // would ask whether to leave the dialog.
      switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
          stop_.RequestStop();
          return true;
        case QEvent::MouseButtonRelease:
          return true;
        default:
          break;
      }
    }
    switch (event->type()) {
      case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) stop_.RequestStop();
        return true;
      case QEvent::ShortcutOverride:
      case QEvent::KeyRelease:
        return true;
      case QEvent::Close:
        event->ignore();
        return watched == dialog_;
      default:
        return false;
    }
  }

 private:
  bool InDialog(QObject* object) const {
    auto* widget = qobject_cast<QWidget*>(object);
    return widget && dialog_ && (widget == dialog_ || dialog_->isAncestorOf(widget));
  }

  QPointer<QWidget> dialog_;
  QPointer<QPushButton> cancel_;
  StopToken& stop_;
};

// Disables the dialog's enabled controls for the life of the object and gives them back, with
// the focus, afterwards. The dialog itself stays enabled so that Esc still reaches it.
class DisabledControls {
 public:
  explicit DisabledControls(QWidget* dialog) : focus_(dialog->focusWidget()) {
    for (QWidget* child : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (child->isWindow() || child->testAttribute(Qt::WA_ForceDisabled)) continue;
      if (child->objectName() == QLatin1String(kCancelButtonName)) continue;
      child->setEnabled(false);
      disabled_.emplace_back(child);
    }
  }
  ~DisabledControls() {
    for (const QPointer<QWidget>& child : disabled_) {
      if (child) child->setEnabled(true);
    }
    if (focus_ && focus_->isEnabled()) focus_->setFocus();
  }
  DisabledControls(const DisabledControls&) = delete;
  DisabledControls& operator=(const DisabledControls&) = delete;

 private:
  QPointer<QWidget> focus_;
  std::vector<QPointer<QWidget>> disabled_;
};

// Says what the step is doing in the dialog's busy label, if it has one, for the life of the object.
class BusyText {
 public:
  BusyText(QWidget* dialog, const char* text)
      : label_(dialog->findChild<QLabel*>(QLatin1String(kBusyLabelName), Qt::FindDirectChildrenOnly)) {
    if (label_) label_->setText(QString::fromUtf8(text));
  }
  ~BusyText() {
    if (label_) label_->clear();
  }
  BusyText(const BusyText&) = delete;
  BusyText& operator=(const BusyText&) = delete;

 private:
  QPointer<QLabel> label_;
};

}  // namespace

QLabel* AddBusyLabel(QWidget* dialog, const DialogUnits& units, int x, int y, int width, int height) {
  auto* label = new QLabel(dialog);
  label->setObjectName(QLatin1String(kBusyLabelName));
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  units.Place(label, x, y, width, height);
  return label;
}

void RunStepOffUiThread(QWidget* dialog, const std::function<void(const StopToken&)>& work,
                        const char* busyText) {
  StopToken stop;
  QEventLoop loop;
  const DisabledControls controls(dialog);
  const BusyText saying(dialog, busyText);
  const BusyDialogFilter keys(dialog, stop);
  const WaitCursor busy;
  std::thread worker([&] {
    work(stop);
    // Queued, so a step that ends before the loop starts still ends it.
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  worker.join();
}

}  // namespace zepa2::ui
