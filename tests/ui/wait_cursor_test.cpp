// A question or a page shown in the middle of a busy step gets the normal pointer, and the wait
// cursor is back, as deep as before, once it is answered.
#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QtTest>
#include <functional>

#include "support/qt_modal.h"
#include "ui/common/message_box.h"
#include "ui/common/wait_cursor.h"
#include "ui/settings/page_view_dialog.h"

using namespace zepa2;
using namespace zepa2::ui;

class WaitCursorTest : public QObject {
  Q_OBJECT

 private slots:
  void modalWindowsShowTheNormalPointerUnderTheWaitCursor_data() {
    QTest::addColumn<QString>("window");
    QTest::newRow("message box") << "message box";
    QTest::newRow("generated page") << "generated page";
  }

  void modalWindowsShowTheNormalPointerUnderTheWaitCursor() {
    QFETCH(QString, window);
    bool cursorWhileOpen = true;
    test::OnNextModalDialog([&](QDialog* shown) {
      cursorWhileOpen = QApplication::overrideCursor() != nullptr;
      shown->reject();
    });
    {
      WaitCursor check;  // the check around a publish
      WaitCursor step;   // the publish step itself
      if (window == "message box") {
        ShowMessage(nullptr, QStringLiteral("text"), MessageButtons::Ok, MessageIcon::None);
      } else {
        ShowGeneratedPage("<p>10.0.0.1</p>");
      }
      QVERIFY(!cursorWhileOpen);
      QVERIFY(QApplication::overrideCursor() != nullptr);
      QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
      QApplication::restoreOverrideCursor();
      QVERIFY(QApplication::overrideCursor() != nullptr);  // both levels came back
      SetWaitCursor(true);
    }
    QVERIFY(QApplication::overrideCursor() == nullptr);
  }
};

QTEST_MAIN(WaitCursorTest)
#include "wait_cursor_test.moc"
