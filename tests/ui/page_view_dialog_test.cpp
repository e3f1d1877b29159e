#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "support/qt_widgets.h"
#include "support/temp_dir.h"
#include "ui/common/message_box.h"
#include "ui/settings/page_view_dialog.h"

using zepa2::test::Child;
using zepa2::ui::PageViewDialog;

class PageViewDialogTest : public QObject {
  Q_OBJECT

 private:
  // Shows the dialog without a modal loop and waits until it can take the focus.
  static void Open(PageViewDialog& dialog) {
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
  }

  static void FocusPickField(PageViewDialog& dialog) {
    Child<QPushButton>(&dialog, "okButton")->setFocus();
    QApplication::processEvents();
    Child<QLineEdit>(&dialog, "pickEdit")->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
  }

  // Runs `inspect` on the modal dialog the code under test opens, then closes it.
  template <typename F>
  static void WhenModalOpens(F inspect) {
    QTimer::singleShot(0, [inspect] {
      auto* dialog = qobject_cast<PageViewDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      inspect(dialog);
      dialog->accept();
    });
  }

 private slots:
  void init() { QApplication::clipboard()->clear(); }

  void modesShowTheirControls_data() {
    QTest::addColumn<bool>("pickMode");
    QTest::addColumn<QString>("button");
    QTest::newRow("view") << false << QStringLiteral("閉じる");
    QTest::newRow("pick") << true << QStringLiteral("実行");
  }
  void modesShowTheirControls() {
    QFETCH(bool, pickMode);
    QFETCH(QString, button);
    PageViewDialog dialog(pickMode);
    Open(dialog);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("確認ダイアログ"));
    QCOMPARE(Child<QPushButton>(&dialog, "okButton")->text(), button);
    QCOMPARE(Child<QLineEdit>(&dialog, "pickEdit")->isVisible(), pickMode);
    QCOMPARE(Child<QLabel>(&dialog, "pickHint")->isVisible(), pickMode);
    QCOMPARE(Child<QLabel>(&dialog, "pickHint")->text(),
             QStringLiteral("目的のアドレスをコピーして貼り付けてください。"));
    QVERIFY(Child<QPlainTextEdit>(&dialog, "pageText")->isReadOnly());
    QVERIFY(Child<QPushButton>(&dialog, "okButton")->hasFocus());
  }

  void pasteOnFocusThenOkTrims() {
    PageViewDialog dialog(true);
    Open(dialog);
    QApplication::clipboard()->setText(QStringLiteral(" \t192.0.2.1 \t"));
    FocusPickField(dialog);
    QCOMPARE(Child<QLineEdit>(&dialog, "pickEdit")->text(), QStringLiteral(" \t192.0.2.1 \t"));
    QTest::mouseClick(Child<QPushButton>(&dialog, "okButton"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(QString::fromStdString(dialog.pickedText()), QStringLiteral("192.0.2.1"));
  }

  void enterInThePageDoesNotCloseButEnterElsewhereDoes() {
    PageViewDialog dialog(false);
    Open(dialog);
    auto* page = Child<QPlainTextEdit>(&dialog, "pageText");
    page->setFocus();
    QTest::keyClick(page, Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    QTest::keyClick(Child<QPushButton>(&dialog, "okButton"), Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
  }

  void typedTextIsReplacedOnReturnButKeptWithoutClipboardText() {
    PageViewDialog dialog(true);
    Open(dialog);
    auto* edit = Child<QLineEdit>(&dialog, "pickEdit");
    FocusPickField(dialog);  // the clipboard is empty: nothing changes
    QTest::keyClicks(edit, QStringLiteral("typed"));
    FocusPickField(dialog);
    QCOMPARE(edit->text(), QStringLiteral("typed"));

    QApplication::clipboard()->setText(QStringLiteral("10.0.0.1"));
    FocusPickField(dialog);
    QCOMPARE(edit->text(), QStringLiteral("10.0.0.1"));
    QTest::keyClicks(edit, QStringLiteral("x"));
    FocusPickField(dialog);
    QCOMPARE(edit->text(), QStringLiteral("10.0.0.1"));
  }

  void escapeKeepsTheLastPasteUntrimmed_data() {
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("picked");
    QTest::newRow("after a paste") << QStringLiteral(" 192.0.2.1 ") << QStringLiteral(" 192.0.2.1 ");
    QTest::newRow("before any paste") << QString() << QString();
  }
  void escapeKeepsTheLastPasteUntrimmed() {
    QFETCH(QString, clipboard);
    QFETCH(QString, picked);
    PageViewDialog dialog(true);
    Open(dialog);
    if (!clipboard.isNull()) QApplication::clipboard()->setText(clipboard);
    FocusPickField(dialog);
    QTest::keyClicks(Child<QLineEdit>(&dialog, "pickEdit"), QStringLiteral("typed"));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(QString::fromStdString(dialog.pickedText()), picked);
  }

  void generatedPageShowsWhole() {
    // Two megabytes of CR LF lines with Shift-JIS text in them.
    const std::string line = "<p>\x83\x65\x83\x58\x83\x67 192.0.2.1</p>\r\n";  // テスト
    std::string page;
    while (page.size() < 2 * 1024 * 1024) page += line;
    page += "last line";
    const qsizetype lines = qsizetype(page.size() / line.size()) + 1;
    QString shown;
    int blockCount = 0;
    WhenModalOpens([&](PageViewDialog* dialog) {
      auto* text = Child<QPlainTextEdit>(dialog, "pageText");
      shown = text->toPlainText();
      blockCount = text->blockCount();
      QCOMPARE(Child<QPushButton>(dialog, "okButton")->text(), QStringLiteral("閉じる"));
    });
    zepa2::ui::ShowGeneratedPage(page);
    QCOMPARE(blockCount, int(lines));
    QVERIFY(shown.startsWith(QStringLiteral("<p>テスト 192.0.2.1</p>")));
    QVERIFY(shown.endsWith(QStringLiteral("</p>\nlast line")));
  }

  void pageFileThatCannotBeOpened() {
    zepa2::test::TempDir dir;
    zepa2::ui::MessageBoxSeam::Intercept(true);
    zepa2::ui::ShowPageFile(dir / "temp.html");
    const auto shown = zepa2::ui::MessageBoxSeam::TakeShown();
    zepa2::ui::MessageBoxSeam::Intercept(false);
    QCOMPARE(shown.size(), size_t(1));
    QCOMPARE(shown[0].text, QStringLiteral("テンポラリが開けません。"));
    QVERIFY(shown[0].icon == zepa2::ui::MessageIcon::None);  // no viewer was run: exec() would not return
  }
};

QTEST_MAIN(PageViewDialogTest)
#include "page_view_dialog_test.moc"
