// The program's message boxes as the user meets them: Qt's buttons in Japanese, over the asking dialog.
#include <QAbstractButton>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QtTest>

#include "support/qt_modal.h"
#include "ui/common/message_box.h"
#include "ui/common/qt_translation.h"

namespace zepa2::ui {

class MessageBoxTest : public QObject {
  Q_OBJECT

  struct SeenBox {
    QStringList buttons;
    QPoint centre;
  };

  // Asks through ShowMessage with parent and notes what the box looked like before closing it.
  static SeenBox Ask(QWidget* parent, MessageButtons buttons) {
    SeenBox seen;
    test::OnNextModalDialog([&seen](QDialog* dialog) {
      auto* box = qobject_cast<QMessageBox*>(dialog);
      if (!box) qFatal("the modal window is not a message box");
      // Without the access key, which the translation writes as "はい(&Y)".
      static const QRegularExpression accessKey(QStringLiteral("\\(&.\\)|&"));
      for (QAbstractButton* button : box->buttons()) seen.buttons << button->text().remove(accessKey);
      seen.centre = box->frameGeometry().center();
      box->reject();
    });
    ShowMessage(parent, QStringLiteral("質問"), buttons, MessageIcon::Question);
    return seen;
  }

  static bool Near(QPoint a, QPoint b) { return (a - b).manhattanLength() <= 4; }

 private slots:
  void initTestCase() { QVERIFY(LoadQtJapanese(*QCoreApplication::instance())); }

  void standardButtonsAreJapanese() {
    QStringList yesNo = Ask(nullptr, MessageButtons::YesNo).buttons;
    yesNo.sort();
    QCOMPARE(yesNo, (QStringList{QStringLiteral("いいえ"), QStringLiteral("はい")}));
    QVERIFY(Ask(nullptr, MessageButtons::OkCancel).buttons.contains(QStringLiteral("キャンセル")));
  }

  // Wherever the dialog stands, its box comes up over its middle; a dialog that is not on screen
  // puts the box in the middle of the screen, never in a corner.
  void boxIsCentredOnTheDialogThatAsked() {
    QDialog dialog;
    dialog.resize(400, 300);
    dialog.move(60, 40);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const SeenBox seen = Ask(&dialog, MessageButtons::Ok);
    QVERIFY2(Near(seen.centre, dialog.frameGeometry().center()),
             qPrintable(QStringLiteral("%1,%2").arg(seen.centre.x()).arg(seen.centre.y())));

    QDialog hidden;
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    QVERIFY(Near(Ask(&hidden, MessageButtons::Ok).centre, screenCentre));
  }

  // A key's fingerprint is one line the box never breaks (it would break at its '/' or '+'), the
  // Japanese text around it still wraps, and the box stays narrower than the screen.
  void keyLinesAreNeverBroken() {
    const QString pin = QStringLiteral("sha256//47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU=");
    const QString sentence = QString(120, QChar(0x3042)) + QStringLiteral("。");  // あああ…。
    const QString text = sentence + QStringLiteral("\n\n登録した鍵：\n") + pin + QStringLiteral("\n\n") + sentence;
    int labelWidth = 0, pinWidth = 0, sentenceWidth = 0, boxWidth = 0;
    test::OnNextModalDialog([&](QDialog* dialog) {
      auto* label = dialog->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
      if (!label) qFatal("no label in the box");
      labelWidth = label->contentsRect().width();
      pinWidth = QFontMetrics(label->font()).horizontalAdvance(pin);
      sentenceWidth = QFontMetrics(label->font()).horizontalAdvance(sentence);
      boxWidth = dialog->width();
      dialog->reject();
    });
    ShowMessage(nullptr, text, MessageButtons::Ok, MessageIcon::Exclamation);
    QVERIFY2(labelWidth >= pinWidth, qPrintable(QStringLiteral("%1 < %2").arg(labelWidth).arg(pinWidth)));
    QVERIFY(labelWidth < sentenceWidth);  // the sentence wraps
    QVERIFY(boxWidth < QGuiApplication::primaryScreen()->availableGeometry().width());
  }
};

}  // namespace zepa2::ui

QTEST_MAIN(zepa2::ui::MessageBoxTest)
#include "message_box_test.moc"
