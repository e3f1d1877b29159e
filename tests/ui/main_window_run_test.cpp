// Checks started from the main window against the router and FTP test servers: the manual run,
// the conversion test, the settings-changed question, and opening the published page.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <memory>

#include "core/settings/settings_store.h"
#include "support/publish_support.h"
#include "support/qt_main_window.h"
#include "support/qt_modal.h"
#include "support/temp_dir.h"
#include "ui/common/message_box.h"
#include "ui/main/main_dialog.h"

using namespace zepa2;
using namespace zepa2::ui;

namespace {

// Runs a function when the watched widget gets its show event.
class ShowWatcher : public QObject {
 public:
  explicit ShowWatcher(std::function<void()> onShow) : onShow_(std::move(onShow)) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show) onShow_();
    return false;
  }

 private:
  std::function<void()> onShow_;
};

}  // namespace

class MainWindowRunTest : public test::MainWindowTest {
  Q_OBJECT

 protected:
  void Prepare() override {
    ftp_ = std::make_unique<test::FtpTestServer>();
    test::UseRouterServer(settings_, test::RouterTestServer());
    test::WriteFile(scope_->dir() / "site.tpl", "<p>$$IP_ADDRESS$$</p>\n");
    FtpSite& site = settings_.sites[0];
    site = {ftp_->server(), test::FtpTestServer::kUser, test::FtpTestServer::kPassword,
            "index.html", (scope_->dir() / "site.tpl").string()};
    CreateWindow().SetUrlOpener([this](const QUrl& url) {
      opened_.push_back(url);
      return true;
    });
    dialog_->show();
  }
  void Finish() override {
    ftp_.reset();
    opened_.clear();
  }

 private slots:
  void manualRunLogsFetchesAndPublishesEveryTime() {
    Find<QPushButton>("getZepaButton")->click();
    QVERIFY(test::WaitForCheckEnd(*dialog_));
    QStringList expected{QStringLiteral("正常起動しました"), QStringLiteral("マニュアルで実行")};
    expected << test::FetchAndFindLines(test::RouterTestServer());
    expected << QString::fromStdString(ftp_->server()) + QStringLiteral(":FTP開始")
             << QStringLiteral("index.html/成功") << QStringLiteral("ホームページの更新に成功しました。");
    QCOMPARE(test::LogTexts(*dialog_), expected);
    QCOMPARE(dialog_->lastAddress(), std::string("10.0.0.1"));
    QCOMPARE(Find<QLineEdit>("addressEdit")->text(), QStringLiteral("10.0.0.1"));
    QCOMPARE(QString::fromStdString(test::ReadFile(ftp_->home() / "index.html")), QStringLiteral("<p>10.0.0.1</p>\n\n"));
    QCOMPARE(dialog_->lastRequest().mode, RunMode::Publish);
    QCOMPARE(dialog_->secondsToNextCheck(), std::int64_t{30 * 3600});

    // The same address again: a run by hand publishes anyway, and Enter is the same command.
    std::filesystem::remove(ftp_->home() / "index.html");
    const int before = test::LogCount(*dialog_);
    QTest::keyClick(dialog_.get(), Qt::Key_Return);
    QVERIFY(test::WaitForCheckEnd(*dialog_));
    QCOMPARE(test::LogTextsFrom(*dialog_, before).first(), QStringLiteral("マニュアルで実行"));
    QVERIFY(std::filesystem::exists(ftp_->home() / "index.html"));
  }

  // The address field gives back the bytes the check found, even two that no character stands for.
  void theShownAddressKeepsItsBytes() {
    settings_.routerPage = "ip/10.0.0.9%85%40/status.htm";
    Find<QPushButton>("getZepaButton")->click();
    QVERIFY(test::WaitForCheckEnd(*dialog_));
    QCOMPARE(dialog_->lastAddress(), std::string("10.0.0.9\x85\x40"));
  }

  void conversionTestShowsThePageAndUploadsNothing() {
    QString shownPage;
    bool startersOffDuringRun = false;
    QString countdownDuringRun;
    const auto starters = [this] {
      QList<bool> enabled{Find<QPushButton>("getZepaButton")->isEnabled(),
                          Find<QPushButton>("conversionTestButton")->isEnabled()};
      for (QAction* runNow : dialog_->findChildren<QAction*>("runNowAction")) enabled << runNow->isEnabled();
      return enabled;
    };
    test::OnNextModalDialog([&](QDialog* view) {
      shownPage = view->findChild<QPlainTextEdit*>("pageText")->toPlainText();
      // The run shows itself: what would start another is off, the countdown says it runs.
      startersOffDuringRun = !starters().contains(true);
      countdownDuringRun = Find<QLabel>("countdownLabel")->text();
      // Ticks while the page view is open neither count nor start a second check.
      dialog_->SetSecondsToNextCheck(1);
      dialog_->OnTimer();
      QCOMPARE(dialog_->secondsToNextCheck(), std::int64_t{1});
      dialog_->OnManualRun();
      view->reject();
    });
    Find<QPushButton>("conversionTestButton")->click();
    QVERIFY(test::WaitForCheckEnd(*dialog_));
    QVERIFY2(shownPage.startsWith(QStringLiteral("<p>10.0.0.1</p>")), qPrintable(shownPage));
    QStringList expected{QStringLiteral("正常起動しました"), QStringLiteral("テスト実行")};
    expected << test::FetchAndFindLines(test::RouterTestServer()) << QStringLiteral("サイト：1 テスト完了");
    QCOMPARE(test::LogTexts(*dialog_), expected);
    QCOMPARE(dialog_->lastRequest().mode, RunMode::ShowPages);
    QCOMPARE(dialog_->lastAddress(), std::string("10.0.0.1"));
    QCOMPARE(Find<QLineEdit>("addressEdit")->text(), QStringLiteral("10.0.0.1"));
    QVERIFY(ftp_->commands().empty());
    QVERIFY(!dialog_->checkRunning());
    QVERIFY(startersOffDuringRun);
    QCOMPARE(countdownDuringRun, QStringLiteral("実行中"));
    QVERIFY(!starters().contains(false));
    QVERIFY(Find<QLabel>("countdownLabel")->text().startsWith(QStringLiteral("実行まで")));
  }

  void unappliedSettingsAreAskedAbout_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("button");
    QTest::newRow("number, manual") << "number" << "getZepaButton";
    QTest::newRow("unit, manual") << "unit" << "getZepaButton";
    QTest::newRow("number, test") << "number" << "conversionTestButton";
  }

  void unappliedSettingsAreAskedAbout() {
    QFETCH(QString, change);
    QFETCH(QString, button);
    settings_.routerServer.clear();  // the run itself does not matter here: it fails at once
    auto* interval = Find<QLineEdit>("intervalEdit");
    auto* unit = Find<QPushButton>("unitButton");
    if (change == "number") interval->setText("5");
    else unit->click();
    const QString shownNumber = interval->text();
    const QString shownUnit = unit->text();
    const int before = test::LogCount(*dialog_);
    dialog_->SetSecondsToNextCheck(77);

    MessageBoxSeam::QueueAnswer(MessageAnswer::Cancel);
    Find<QPushButton>(button.toLatin1().constData())->click();
    auto shown = MessageBoxSeam::TakeShown();
    QCOMPARE(shown.size(), std::size_t{1});
    QCOMPARE(shown[0].text, QStringLiteral("設定が変更されています。\n「設定」を選択しなければ変更が反映されません。\n実行しますか？"));
    QCOMPARE(shown[0].buttons, MessageButtons::OkCancel);
    QCOMPARE(shown[0].icon, MessageIcon::Question);
    QCOMPARE(test::LogCount(*dialog_), before);  // nothing ran
    QCOMPARE(dialog_->secondsToNextCheck(), std::int64_t{77});
    QCOMPARE(interval->text(), shownNumber);
    QCOMPARE(unit->text(), shownUnit);

    MessageBoxSeam::QueueAnswer(MessageAnswer::Ok);
    Find<QPushButton>(button.toLatin1().constData())->click();
    QVERIFY(test::WaitForCheckEnd(*dialog_));
    QCOMPARE(MessageBoxSeam::TakeShown().size(), std::size_t{1});
    QCOMPARE(interval->text(), QStringLiteral("30"));
    QCOMPARE(unit->text(), QStringLiteral("時"));
    // The applied period is back in force. A manual run that failed is tried again in a minute;
    // a test run publishes nothing, so it is no failure: the period.
    QCOMPARE(dialog_->secondsToNextCheck(),
             button == "getZepaButton" ? std::int64_t{60} : std::int64_t{30 * 3600});
    QCOMPARE(test::LogTextsFrom(*dialog_, before).first(),
             button == "getZepaButton" ? QStringLiteral("マニュアルで実行") : QStringLiteral("テスト実行"));
    QVERIFY(!std::filesystem::exists(SettingsFilePath()));  // dropping changes saves nothing
  }

  // The question's own event loop serves the timer: a timed check that falls due while it is open
  // must not turn the conversion test asked about into a real upload.
  void timedCheckDuringTheQuestionKeepsTheConversionTestATest() {
    Find<QLineEdit>("intervalEdit")->setText("5");
    MessageBoxSeam::Intercept(false);  // a real box, so its event loop runs
    bool timedRunUploaded = false;
    test::OnNextModalDialog([&](QDialog* question) {
      dialog_->SetSecondsToNextCheck(1);
      dialog_->OnTimer();
      QVERIFY(test::WaitForCheckEnd(*dialog_));
      timedRunUploaded = std::filesystem::remove(ftp_->home() / "index.html");
      test::OnNextModalDialog([](QDialog* view) { view->reject(); });
      qobject_cast<QMessageBox*>(question)->button(QMessageBox::Ok)->click();
    });
    Find<QPushButton>("conversionTestButton")->click();
    QVERIFY(test::WaitForCheckEnd(*dialog_));
    MessageBoxSeam::Intercept(true);
    QVERIFY(timedRunUploaded);
    QCOMPARE(dialog_->lastRequest().mode, RunMode::ShowPages);
    QVERIFY(!std::filesystem::exists(ftp_->home() / "index.html"));
    QVERIFY(test::LogTexts(*dialog_).contains(QStringLiteral("サイト：1 テスト完了")));
  }

  // `zepa2-check config set` writes the file while the window runs: the next check works with
  // what the file now holds, says so, and the window shows the new period.
  void settingsWrittenByAnotherProgramAreTakenBeforeTheNextCheck() {
    AppSettings changed = settings_;
    changed.sites[0].uploadFile = "other.html";
    changed.interval = 45;
    QVERIFY(SaveSettings(changed, SettingsFilePath(), {}).ok);
    Find<QPushButton>("getZepaButton")->click();
    QVERIFY(test::WaitForCheckEnd(*dialog_));
    QVERIFY(test::LogTexts(*dialog_).contains(QStringLiteral("設定ファイルが変更されたため、読み直しました。")));
    QVERIFY(std::filesystem::exists(ftp_->home() / "other.html"));
    QVERIFY(!std::filesystem::exists(ftp_->home() / "index.html"));
    QCOMPARE(Find<QLineEdit>("intervalEdit")->text(), QStringLiteral("45"));
    QVERIFY(settings_ == changed);

    // The window's own save reads back as what it holds: no line, no change.
    const qsizetype lines = test::LogTexts(*dialog_).size();
    QVERIFY(SaveSettings(settings_, SettingsFilePath(), {}).ok);
    Find<QPushButton>("getZepaButton")->click();
    QVERIFY(test::WaitForCheckEnd(*dialog_));
    QCOMPARE(test::LogTexts(*dialog_).mid(lines).count(QStringLiteral("設定ファイルが変更されたため、読み直しました。")), 0);
  }

  void openPublicPageNeedsAnAddressFirst() {
    Find<QPushButton>("browserButton")->click();
    const auto shown = MessageBoxSeam::TakeShown();
    QCOMPARE(shown.size(), std::size_t{1});
    QCOMPARE(shown[0].text, QStringLiteral("先にグローバルＩＰを取得してください。"));
    QCOMPARE(shown[0].icon, MessageIcon::Exclamation);
    QVERIFY(opened_.empty());

    settings_.homePageAddress = "www.example.test/$$IP_ADDRESS$$/$$IP_ADDRESS$$.html";
    Find<QPushButton>("getZepaButton")->click();
    QVERIFY(test::WaitForCheckEnd(*dialog_));
    Find<QPushButton>("browserButton")->click();
    QVERIFY(MessageBoxSeam::TakeShown().empty());
    QCOMPARE(opened_.size(), std::size_t{1});
    QCOMPARE(opened_[0].toString(), QStringLiteral("http://www.example.test/10.0.0.1/$$IP_ADDRESS$$.html"));
  }

  void pageSettingsCommandOpensTheForm() {
    QString opened;
    test::OnNextModalDialog([&](QDialog* form) {
      opened = form->objectName();
      form->reject();
    });
    dialog_->OnPageSettings();
    QCOMPARE(opened, QStringLiteral("pageSettingsDialog"));
  }

  // The program shows the window right after making it; the check must wait for that, so the
  // window is up at once even when the router takes long to answer.
  void runAtStartShowsTheWindowBeforeTheCheckAndKeepsTheCountdown() {
    settings_.runAtStart = 1;
    settings_.routerPage = "ip/10.0.0.42/status.htm";  // asked for by this test only
    const std::string router = test::RouterTestServer();
    MainDialog dialog(settings_, [](std::chrono::milliseconds) {});
    int askedWhenShown = -1;
    ShowWatcher watcher([&] { askedWhenShown = test::RouterRequestCount(router, settings_.routerPage); });
    dialog.installEventFilter(&watcher);
    QSignalSpy checkEnded(&dialog, &MainDialog::checkEnded);
    dialog.show();
    QCOMPARE(askedWhenShown, 0);
    QVERIFY(checkEnded.wait(30000));
    QCOMPARE(test::RouterRequestCount(router, settings_.routerPage), 1);
    QStringList expected{QStringLiteral("正常起動しました")};
    expected << test::FetchAndFindLines(router);
    QCOMPARE(test::LogTexts(dialog).mid(0, expected.size()), expected);
    QCOMPARE(dialog.lastAddress(), std::string("10.0.0.42"));
    QVERIFY(std::filesystem::exists(ftp_->home() / "index.html"));
    QCOMPARE(dialog.secondsToNextCheck(), std::int64_t{30 * 3600});
  }

 private:
  template <typename W>
  W* Find(const char* name) {
    return test::FindChild<W>(*dialog_, name);
  }

  std::unique_ptr<test::FtpTestServer> ftp_;
  std::vector<QUrl> opened_;
};

QTEST_MAIN(MainWindowRunTest)
#include "main_window_run_test.moc"
