// The countdown of the main window, driven tick by tick: start values, the unit button, "設定",
// timed checks against the router test server, a period of 0 and units the button does not know.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "core/settings/settings_store.h"
#include "support/publish_support.h"
#include "support/qt_main_window.h"
#include "support/temp_dir.h"
#include "ui/common/message_box.h"
#include "ui/common/settings_io.h"
#include "ui/main/main_dialog.h"

using namespace zepa2;
using namespace zepa2::ui;

class SchedulerTest : public test::MainWindowTest {
  Q_OBJECT

 private slots:
  void emptySettingsFileStartsThirtyHours() {
    test::WriteFile(SettingsFilePath(), "");
    LoadAppSettings(nullptr, settings_);
    Open();
    QCOMPARE(Find<QLineEdit>("intervalEdit")->text(), QStringLiteral("30"));
    QCOMPARE(Find<QPushButton>("unitButton")->text(), QStringLiteral("時"));
    QCOMPARE(dialog_->secondsToNextCheck(), std::int64_t{108000});
    dialog_->OnTimer();
    QCOMPARE(CountdownText(), QStringLiteral("実行まで:    107999秒"));
  }

  void timedCheckLogsFirstAndRestartsFromTheAppliedPeriod() {
    test::FtpTestServer ftp;
    UseRouterAndSite(ftp);
    settings_.intervalUnit = 0;
    settings_.interval = 30;
    Open();
    // Shown but not applied: the timed check still uses what is in force.
    Find<QLineEdit>("intervalEdit")->setText("5");
    Find<QPushButton>("unitButton")->click();
    dialog_->SetSecondsToNextCheck(2);
    dialog_->OnTimer();
    QCOMPARE(CountdownText(), QStringLiteral("実行まで:         1秒"));
    QCOMPARE(test::LogCount(*dialog_), 1);

    dialog_->OnTimer();
    QVERIFY(test::WaitForCheckEnd(*dialog_));
    QStringList expected{QStringLiteral("正常起動しました"), QStringLiteral("タイマで実行")};
    expected << test::FetchAndFindLines(test::RouterTestServer());
    QCOMPARE(test::LogTexts(*dialog_).mid(0, expected.size()), expected);
    QCOMPARE(dialog_->lastRequest().mode, RunMode::Publish);
    QCOMPARE(dialog_->lastAddress(), std::string("10.0.0.1"));  // the first check publishes
    QCOMPARE(dialog_->secondsToNextCheck(), std::int64_t{1800});
    QCOMPARE(CountdownText(), QStringLiteral("実行まで:      1800秒"));

    // The next one finds the same address and leaves it.
    const int before = test::LogCount(*dialog_);
    dialog_->SetSecondsToNextCheck(1);
    dialog_->OnTimer();
    QVERIFY(test::WaitForCheckEnd(*dialog_));
    QCOMPARE(test::LogTextsFrom(*dialog_, before).last(), kUnchangedLine);
    QCOMPARE(dialog_->lastReport().outcome, CheckOutcome::Unchanged);
    QCOMPARE(dialog_->secondsToNextCheck(), std::int64_t{1800});
  }

  // A site that did not take the page is served again by the next timed check, although the
  // address is the same, and that check comes after a minute, then two, not the period; once it
  // has taken it, the address is left alone again and the period is back.
  void timedCheckServesAFailedSiteAgain() {
    test::FtpTestServer ftp;
    UseRouterAndSite(ftp);
    const auto tpl = scope_->dir() / "site.tpl";
    std::filesystem::remove(tpl);
    Open();

    const std::vector<SiteResultKind> siteResults{SiteResultKind::TemplateNotOpened,
                                                  SiteResultKind::TemplateNotOpened,
                                                  SiteResultKind::Done};
    for (std::size_t run = 0; run < siteResults.size(); ++run) {
      if (run == 2) test::WriteFile(tpl, "<p>$$IP_ADDRESS$$</p>\n");
      const int before = test::LogCount(*dialog_);
      dialog_->SetSecondsToNextCheck(1);
      dialog_->OnTimer();
      QVERIFY(test::WaitForCheckEnd(*dialog_));
      const CheckReport& report = dialog_->lastReport();
      QVERIFY2(report.sites.size() == 1, qPrintable(test::LogTextsFrom(*dialog_, before).join('|')));
      QCOMPARE(report.sites[0].number, 1);
      QCOMPARE(report.sites[0].kind, siteResults[run]);
      QVERIFY(!test::LogTextsFrom(*dialog_, before).contains(kUnchangedLine));
      const std::int64_t countdowns[] = {60, 120, 30 * 3600};
      QCOMPARE(dialog_->secondsToNextCheck(), countdowns[run]);
      QCOMPARE(test::LogTextsFrom(*dialog_, before).first(),
               run == 0 ? QStringLiteral("タイマで実行") : QStringLiteral("失敗した確認の再試行"));
    }
    QVERIFY(std::filesystem::exists(ftp.home() / "index.html"));

    const int before = test::LogCount(*dialog_);
    dialog_->SetSecondsToNextCheck(1);
    dialog_->OnTimer();
    QVERIFY(test::WaitForCheckEnd(*dialog_));
    QCOMPARE(test::LogTextsFrom(*dialog_, before).last(), kUnchangedLine);
    QVERIFY(dialog_->lastReport().sites.empty());
  }

  void applyTakesNumberAndUnitSavesThemAndRestarts() {
    Open();
    Find<QLineEdit>("intervalEdit")->setText("45");
    Find<QPushButton>("unitButton")->click();  // 時 → 日
    Find<QPushButton>("applyButton")->click();
    QCOMPARE(settings_.interval, 45);
    QCOMPARE(settings_.intervalUnit, 2);
    const std::string saved = test::ReadFile(SettingsFilePath());
    QVERIFY(saved.find("INTERVAL=45\n") != std::string::npos);
    QVERIFY(saved.find("TIMENO=2\n") != std::string::npos);
    QCOMPARE(dialog_->secondsToNextCheck(), std::int64_t{45 * 86400});
    QCOMPARE(test::LogCount(*dialog_), 1);  // no log line
    dialog_->OnTimer();
    QCOMPARE(CountdownText(), QStringLiteral("実行まで:   3887999秒"));

    // An invalid number is reported; the number in force is applied with the unit shown, not a
    // number the field held for a while before.
    Find<QLineEdit>("intervalEdit")->setText("50");
    dialog_->AppendLog("a line while 50 is shown", 0);
    Find<QLineEdit>("intervalEdit")->setText("abc");
    Find<QPushButton>("unitButton")->click();  // 日 → 分
    Find<QPushButton>("applyButton")->click();
    QCOMPARE(MessageBoxSeam::TakeShown().size(), std::size_t{1});
    QCOMPARE(settings_.interval, 45);
    QCOMPARE(settings_.intervalUnit, 0);
    QCOMPARE(Find<QPushButton>("unitButton")->text(), QStringLiteral("分"));
    QCOMPARE(dialog_->secondsToNextCheck(), std::int64_t{45 * 60});
  }

  void unitButtonCyclesWithoutSavingOrTouchingTheCountdown() {
    Open();
    auto* unit = Find<QPushButton>("unitButton");
    QStringList captions;
    for (int i = 0; i < 3; ++i) {
      unit->click();
      captions << unit->text();
    }
    QCOMPARE(captions, (QStringList{QStringLiteral("日"), QStringLiteral("分"), QStringLiteral("時")}));
    QCOMPARE(dialog_->secondsToNextCheck(), std::int64_t{108000});
    QCOMPARE(settings_.intervalUnit, 1);
    QVERIFY(!std::filesystem::exists(SettingsFilePath()));
  }

  void periodZeroCountsIntoNegativeNumbersAndNeverRuns() {
    settings_.interval = 0;
    Open();
    QCOMPARE(dialog_->secondsToNextCheck(), std::int64_t{0});
    for (int i = 0; i < 3; ++i) dialog_->OnTimer();
    QCOMPARE(CountdownText(), QStringLiteral("実行まで:        -3秒"));
    QCOMPARE(test::LogCount(*dialog_), 1);
  }

  void unknownStoredUnitCountsAsMinutesAndKeepsTheTemplateCaption() {
    settings_.intervalUnit = 7;
    settings_.interval = 2;
    Open();
    QCOMPARE(dialog_->secondsToNextCheck(), std::int64_t{120});
    QCOMPARE(Find<QPushButton>("unitButton")->text(), QStringLiteral("秒"));
    Find<QPushButton>("unitButton")->click();
    QCOMPARE(Find<QPushButton>("unitButton")->text(), QStringLiteral("分"));
  }

  void longestStoredPeriodDoesNotOverflow() {
    settings_.intervalUnit = 2;
    settings_.interval = 2000000;  // beyond the field's range, as a hand-edited file may hold
    Open();
    QCOMPARE(dialog_->secondsToNextCheck(), std::int64_t{2000000} * 86400);
    dialog_->OnTimer();
    QCOMPARE(CountdownText(), QStringLiteral("実行まで:172799999999秒"));
  }

 private:
  inline static const QString kUnchangedLine = QStringLiteral("アドレスが変更されてないため、更新しません。");

  // The router test server and one site on ftp with a template that fills in the address.
  void UseRouterAndSite(const test::FtpTestServer& ftp) {
    test::UseRouterServer(settings_, test::RouterTestServer());
    const auto tpl = scope_->dir() / "site.tpl";
    test::WriteFile(tpl, "<p>$$IP_ADDRESS$$</p>\n");
    settings_.sites[0] = {ftp.server(), test::FtpTestServer::kUser, test::FtpTestServer::kPassword,
                          "index.html", tpl.string()};
  }

  void Open() {
    dialog_ = std::make_unique<MainDialog>(settings_, [](std::chrono::milliseconds) {});
    dialog_->show();
  }

  template <typename W>
  W* Find(const char* name) {
    return test::FindChild<W>(*dialog_, name);
  }

  QString CountdownText() { return Find<QLabel>("countdownLabel")->text(); }

};

QTEST_MAIN(SchedulerTest)
#include "scheduler_test.moc"
