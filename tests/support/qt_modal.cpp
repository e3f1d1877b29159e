#include "support/qt_modal.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

namespace zepa2::test {

void OnNextModalDialog(std::function<void(QDialog*)> action, std::function<bool(QDialog*)> ready) {
  auto* poll = new QTimer(qApp);
  poll->setInterval(10);
  QObject::connect(poll, &QTimer::timeout, poll,
                   [poll, action = std::move(action), ready = std::move(ready)] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || (ready && !ready(dialog))) return;
    poll->stop();
    poll->deleteLater();
    action(dialog);
  });
  poll->start();
}

}  // namespace zepa2::test
