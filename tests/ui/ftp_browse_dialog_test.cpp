// Drives the FTP site browser against the test FTP server: listing, walking folders, the result path.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <filesystem>

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

  // This server names things in UTF-8: the rows read right and the path keeps the server's bytes.
  void NamesKeepTheServersBytes() {
    FtpTestServer ftp;
    std::filesystem::create_directories(ftp.home() / "日本語");
    test::WriteFile(ftp.home() / "日本語" / "ページ.html", "x");
    Browser browser(ftp.server());
    browser.Click("[日本語]", true);
    QCOMPARE(browser.directory->text(), QStringLiteral("/日本語"));
    browser.Click("ページ.html", false);
    browser.PressOk();
    QCOMPARE(browser.dialog.resultPath, std::string("/日本語/ページ.html"));
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
