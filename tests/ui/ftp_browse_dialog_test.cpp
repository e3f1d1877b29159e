// Drives the FTP site browser against the test FTP server: listing, walking folders, the result path.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <filesystem>

#include "core/publish/upload_test_file.h"
#include "core/text/cp932.h"
#include "support/fixture_process.h"
#include "support/publish_support.h"
#include "support/qt_widgets.h"
#include "ui/common/cp932_text.h"
#include "ui/common/message_box.h"
#include "ui/settings/ftp_browse_dialog.h"

namespace zepa2::ui {
namespace {

using test::FtpTestServer;

QStringList Rows(QListWidget* list) {
  QStringList rows;
  for (int i = 0; i < list->count(); ++i) rows << list->item(i)->text();
  return rows;
}

using test::ShownTexts;

// Ticks every 50 ms from its creation; at the tenth it notes whether the dialog is busy and
// presses Esc on it. Counting ticks rather than time tells whether the event loop ran.
struct TickCounter {
  TickCounter(QWidget* dialog, std::function<bool()> busy) {
    QObject::connect(&timer, &QTimer::timeout, [this, dialog, busy] {
      if (++count != 10) return;
      disabledBeforeEsc = busy();
      escTick = count;
      QTest::keyClick(dialog, Qt::Key_Escape);
    });
    timer.start(50);
  }
  QTimer timer;
  int count = 0;
  int escTick = -1;
  bool disabledBeforeEsc = false;
};

}  // namespace

class FtpBrowseDialogTest : public QObject {
  Q_OBJECT

 private:
  struct Browser {
    explicit Browser(const std::string& server, const std::string& password = FtpTestServer::kPassword) {
      dialog.serverName = server;
      dialog.userName = FtpTestServer::kUser;
      dialog.password = password;
      dialog.show();
      dialog.OnInitDialog();
      list = dialog.findChild<QListWidget*>(QStringLiteral("entryList"));
      directory = dialog.findChild<QLineEdit*>(QStringLiteral("directoryEdit"));
      fileName = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    }
    void Click(const QString& row, bool twice) {
      const auto found = list->findItems(row, Qt::MatchExactly);
      QVERIFY2(found.size() == 1, qPrintable(row));
      const QPoint at = list->visualItemRect(found[0]).center();
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
      if (twice) QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    void PressOk() { dialog.findChild<QPushButton*>(QStringLiteral("okButton"))->click(); }

    FtpBrowseDialog dialog;
    QListWidget* list;
    QLineEdit* directory;
    QLineEdit* fileName;
  };

 private slots:
  void init() { MessageBoxSeam::Intercept(true); }
  void cleanup() { MessageBoxSeam::Intercept(false); }

  void WalksIntoAFolderAndBackAndReturnsTheServersPath() {
    FtpTestServer ftp(true);
    std::filesystem::create_directories(ftp.home() / "html");
    test::WriteFile(ftp.home() / "html" / "index.html", "x");
    test::WriteFile(ftp.home() / "top.html", "x");

    Browser browser(ftp.server());
    QVERIFY(ShownTexts().isEmpty());
    QCOMPARE(Rows(browser.list), (QStringList{"[.]", "[..]", "[html]", "[ro]", "top.html"}));
    QCOMPARE(browser.directory->text(), QStringLiteral("/"));

    browser.Click("top.html", false);
    QCOMPARE(browser.fileName->text(), QStringLiteral("top.html"));
    browser.Click("[ro]", false);  // a folder row leaves the name alone
    QCOMPARE(browser.fileName->text(), QStringLiteral("top.html"));

    browser.Click("[html]", true);
    QCOMPARE(browser.directory->text(), QStringLiteral("/html"));
    QCOMPARE(browser.fileName->text(), QString());
    QCOMPARE(Rows(browser.list), (QStringList{"[.]", "[..]", "index.html"}));

    browser.Click("[..]", true);
    QCOMPARE(browser.directory->text(), QStringLiteral("/"));
    QCOMPARE(Rows(browser.list).size(), 5);

    browser.Click("[html]", true);
    browser.Click("index.html", true);
    QCOMPARE(browser.fileName->text(), QStringLiteral("index.html"));
    browser.PressOk();
    QCOMPARE(browser.dialog.result(), int(QDialog::Accepted));
    QCOMPARE(browser.dialog.resultPath, std::string("/html/index.html"));
    QVERIFY(ShownTexts().isEmpty());
    // One log-in for the dialog's whole life.
    const auto commands = ftp.commands();
    QCOMPARE(std::count(commands.begin(), commands.end(), "USER zepa"), 1);
  }

  void RootGivesTwoSlashesAndTypedValuesGoAsTyped() {
    FtpTestServer ftp;
    test::WriteFile(ftp.home() / "top.html", "x");
    {
      Browser browser(ftp.server());
      QCOMPARE(Rows(browser.list), (QStringList{"[ro]", "top.html"}));
      browser.Click("top.html", false);
      browser.PressOk();
      QCOMPARE(browser.dialog.resultPath, std::string("//top.html"));
    }
    Browser browser(ftp.server());
    browser.directory->setText(QStringLiteral("/nowhere/ホーム"));
    browser.fileName->setText(QStringLiteral("ページ.html"));
    browser.PressOk();
    QCOMPARE(browser.dialog.result(), int(QDialog::Accepted));
    QCOMPARE(browser.dialog.resultPath, ToCp932(QStringLiteral("/nowhere/ホーム/ページ.html")));
  }

  // A UTF-8 server's names read right, are picked as CP932 (the program's own text, as stored in
  // the settings) and reach the server again as UTF-8 when the picked file is uploaded.
  void Utf8NamesArePickedAsCp932AndUploadUnderTheirOwnName() {
    FtpTestServer ftp;
    std::filesystem::create_directories(ftp.home() / "日本語フォルダ");
    test::WriteFile(ftp.home() / "日本語フォルダ" / "写真一覧.html", "x");
    Browser browser(ftp.server());
    browser.Click("[日本語フォルダ]", true);
    QCOMPARE(browser.directory->text(), QStringLiteral("/日本語フォルダ"));
    browser.Click("写真一覧.html", false);
    QCOMPARE(browser.fileName->text(), QStringLiteral("写真一覧.html"));
    browser.PressOk();
    QVERIFY(ShownTexts().isEmpty());
    QCOMPARE(browser.dialog.resultPath, Cp932("/日本語フォルダ/写真一覧.html"));

    test::TempDir local;
    test::WriteFile(local.path() / "page.html", "new");
    QVERIFY(UploadTestFile({ftp.server(), FtpTestServer::kUser, FtpTestServer::kPassword},
                           browser.dialog.resultPath, (local.path() / "page.html").string(), {})
                .done());
    QCOMPARE(test::ReadFile(ftp.home() / "日本語フォルダ" / "写真一覧.html"), std::string("new"));
  }

  // A name CP932 cannot hold could be neither stored nor sent back: it shows, but is not taken.
  void NameWithoutACp932FormCannotBePicked() {
    FtpTestServer ftp;
    std::filesystem::create_directories(ftp.home() / "한국어");
    test::WriteFile(ftp.home() / "한국어.html", "x");
    test::WriteFile(ftp.home() / "top.html", "x");
    Browser browser(ftp.server());
    browser.Click("top.html", false);
    browser.Click("한국어.html", false);
    QCOMPARE(ShownTexts(), QStringList{QStringLiteral(
                               "この名前には使用できない文字が含まれているため、選択できません。\n한국어.html")});
    QCOMPARE(browser.fileName->text(), QStringLiteral("top.html"));
    browser.Click("[한국어]", true);
    QCOMPARE(ShownTexts().size(), 1);  // from the double click: a folder is not taken by a click
    QCOMPARE(browser.directory->text(), QStringLiteral("/"));
  }

  // A server that lists no dots still offers the way up, everywhere but at the root.
  void ParentRowBelowTheRootWhateverTheServerLists() {
    FtpTestServer ftp;
    std::filesystem::create_directories(ftp.home() / "html" / "deep");
    Browser browser(ftp.server());
    QVERIFY(!Rows(browser.list).contains("[..]"));
    browser.Click("[html]", true);
    QCOMPARE(Rows(browser.list), (QStringList{"[..]", "[deep]"}));
    browser.Click("[deep]", true);
    QCOMPARE(Rows(browser.list), QStringList{"[..]"});
    browser.Click("[..]", true);
    QCOMPARE(browser.directory->text(), QStringLiteral("/html"));
    browser.Click("[..]", true);
    QCOMPARE(browser.directory->text(), QStringLiteral("/"));
    QVERIFY(!Rows(browser.list).contains("[..]"));
  }

  // The listing runs on a worker: the dialog's events go on with its controls off, and Esc ends
  // a listing the server never sends as a failed one, leaving the dialog open.
  void EscEndsAStalledListing() {
    FtpTestServer ftp(test::FtpServerOptions{.muteList = true});
    FtpBrowseDialog dialog;
    dialog.serverName = ftp.server();
    dialog.userName = FtpTestServer::kUser;
    dialog.password = FtpTestServer::kPassword;
    dialog.show();
    QString busyText;
    TickCounter ticks(&dialog, [&dialog, &busyText] {
      busyText = dialog.findChild<QLabel*>(QStringLiteral("busyLabel"))->text();
      return !dialog.findChild<QPushButton*>(QStringLiteral("okButton"))->isEnabled();
    });
    dialog.OnInitDialog();
    QCOMPARE(busyText, QStringLiteral("接続中…"));
    QVERIFY(ticks.escTick > 0);
    QVERIFY(ticks.disabledBeforeEsc);
    QVERIFY2(ticks.count - ticks.escTick <= 20, qPrintable(QString::number(ticks.count - ticks.escTick)));
    QCOMPARE(ShownTexts(), QStringList{"ファイルリストを取得できません。"});
    QVERIFY(dialog.isVisible());
  }

  // The window is on screen, busy, while the log-in waits for a server that never greets.
  void WindowShowsBeforeTheLogIn() {
    test::FixtureProcess mute("router_server.py");  // takes the connection, says nothing
    FtpBrowseDialog dialog;
    dialog.serverName = mute.hostPort();
    bool shownWhileConnecting = false;
    TickCounter ticks(&dialog, [&] {
      shownWhileConnecting = dialog.isVisible();
      return !dialog.findChild<QListWidget*>(QStringLiteral("entryList"))->isEnabled();
    });
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
      if (ticks.escTick > 0 && !MessageBoxSeam::TakeShown().empty()) dialog.done(QDialog::Rejected);
    });
    closer.start(20);
    dialog.exec();
    QVERIFY(shownWhileConnecting);
    QVERIFY(ticks.disabledBeforeEsc);
    QVERIFY2(ticks.count - ticks.escTick <= 20, qPrintable(QString::number(ticks.count - ticks.escTick)));
  }

  void EmptyNameKeepsTheDialogOpen() {
    FtpTestServer ftp;
    Browser browser(ftp.server());
    browser.PressOk();
    QCOMPARE(ShownTexts(), QStringList{"ファイル名を入力してください。"});
    QVERIFY(browser.dialog.isVisible());
    QCOMPARE(browser.dialog.result(), 0);
    QVERIFY(browser.dialog.resultPath.empty());
  }

  void FolderGoneSinceTheListingStaysPut() {
    FtpTestServer ftp;
    std::filesystem::create_directories(ftp.home() / "old");
    Browser browser(ftp.server());
    std::filesystem::remove(ftp.home() / "old");
    browser.Click("[old]", true);
    QCOMPARE(ShownTexts(), QStringList{"カレントディレクトリーが変更できません。"});
    QCOMPARE(Rows(browser.list), (QStringList{"[old]", "[ro]"}));
    QCOMPARE(browser.directory->text(), QStringLiteral("/"));
  }

  void FailedConnectionLeavesAPlainEntryForm() {
    FtpTestServer ftp;
    for (const std::string& server : {ftp.server(), std::string("127.0.0.1:1")}) {
      Browser browser(server, server == ftp.server() ? "wrong" : FtpTestServer::kPassword);
      QCOMPARE(ShownTexts(), QStringList{"サイトに接続できません。"});
      QCOMPARE(browser.list->count(), 0);
      browser.directory->setText(QStringLiteral("/www"));
      browser.fileName->setText(QStringLiteral("index.html"));
      browser.PressOk();
      QCOMPARE(browser.dialog.resultPath, std::string("/www/index.html"));
    }
  }

  void CancelGivesNothing() {
    FtpTestServer ftp;
    test::WriteFile(ftp.home() / "top.html", "x");
    Browser browser(ftp.server());
    browser.Click("top.html", false);
    QTest::keyClick(&browser.dialog, Qt::Key_Escape);
    QCOMPARE(browser.dialog.result(), int(QDialog::Rejected));
    QVERIFY(browser.dialog.resultPath.empty());
  }
};

}  // namespace zepa2::ui

QTEST_MAIN(zepa2::ui::FtpBrowseDialogTest)
#include "ftp_browse_dialog_test.moc"
