#include "ui/common/off_ui_thread.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>
#include <thread>
#include <vector>

#include "ui/common/wait_cursor.h"

namespace zepa2::ui {
namespace {

// Keeps the user's keys and the window manager's close away from a busy dialog; Esc stops the step.
class BusyDialogFilter : public QObject {
 public:
  BusyDialogFilter(QWidget* dialog, StopToken& stop) : dialog_(dialog), stop_(stop) {
    QCoreApplication::instance()->installEventFilter(this);
  }
  ~BusyDialogFilter() override { QCoreApplication::instance()->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!InDialog(watched)) return false;
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
  StopToken& stop_;
};

// Disables the dialog's enabled controls for the life of the object and gives them back, with
// the focus, afterwards. The dialog itself stays enabled so that Esc still reaches it.
class DisabledControls {
 public:
  explicit DisabledControls(QWidget* dialog) : focus_(dialog->focusWidget()) {
    for (QWidget* child : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (child->isWindow() || child->testAttribute(Qt::WA_ForceDisabled)) continue;
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

}  // namespace

void RunStepOffUiThread(QWidget* dialog, const std::function<void(const StopToken&)>& work) {
  StopToken stop;
  QEventLoop loop;
  const DisabledControls controls(dialog);
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
