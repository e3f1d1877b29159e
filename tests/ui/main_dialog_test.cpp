// The main window driven on the offscreen platform: log, options, interval check and closing.
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>
#include <memory>
#include <mutex>

#include "core/log/log_color.h"
#include "core/settings/settings_store.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"
#include "support/qt_main_window.h"
#include "support/temp_dir.h"
#include "ui/common/message_box.h"
#include "ui/main/activity_log.h"
#include "ui/main/main_dialog.h"

using namespace zepa2;
using namespace zepa2::ui;

class MainDialogTest : public test::MainWindowTest {
  Q_OBJECT

 protected:
  void Prepare() override { CreateWindow().show(); }

 private slots:
  void startsWithItsCaptionsAndOneBlackLine() {
    QCOMPARE(dialog_->windowTitle(), QStringLiteral("-ZEPA2-"));
    QCOMPARE(Find<QLabel>("versionLabel")->text(), QStringLiteral("Ver 1.12"));
    QCOMPARE(Find<QLabel>("titleLabel")->text(), QStringLiteral("ZEPA2"));
    QCOMPARE(dialog_->toolTip(), QStringLiteral("ZEPA2"));
    QCOMPARE(Find<QLineEdit>("intervalEdit")->text(), QStringLiteral("30"));
    ActivityLog* log = Log();
    QCOMPARE(log->count(), 1);
    QVERIFY(log->item(0)->text().endsWith(QString::fromUtf8(msg::kStartedNormally)));
    QCOMPARE(ActivityLog::LineColor(log->item(0)), log_color::kBlack);
    QVERIFY(!std::filesystem::exists(SettingsFilePath()));  // starting writes nothing
  }

  void pageSettingsButtonStaysHiddenAndDisabled() {
    auto* button = Find<QPushButton>("pageSettingsButton");
    QVERIFY(!button->isVisible());
    QVERIFY(!button->isEnabled());
  }

  void reachingOneThousandLinesDropsTheTenOldest() {
    ActivityLog* log = Log();
    while (log->count() < 999) dialog_->AppendLog("line " + std::to_string(log->count()), 0);
    QCOMPARE(log->count(), 999);
    dialog_->AppendLog("newest", log_color::kRed);
    QCOMPARE(log->count(), 990);
    QVERIFY(log->item(0)->text().endsWith(QStringLiteral("::line 10")));
    QVERIFY(log->item(989)->text().endsWith(QStringLiteral("::newest")));
    QCOMPARE(ActivityLog::LineColor(log->item(989)), log_color::kRed);
    // The newest line is scrolled into view.
    QVERIFY(log->visualItemRect(log->item(989)).intersects(log->viewport()->rect()));
  }

  void linesAreDrawnInTheirColourOnWhiteEvenWhenClicked() {
    ActivityLog* log = Log();
    log->clear();
    dialog_->AppendLog(std::string(400, 'W'), log_color::kRed);  // far wider than the list
    dialog_->AppendLog("green", log_color::kGreen);
    QTest::mouseClick(log->viewport(), Qt::LeftButton, {}, log->visualItemRect(log->item(0)).center());
    QCOMPARE(log->horizontalScrollBar()->maximum(), 0);
    const QImage image = log->viewport()->grab().toImage();
    QCOMPARE(ColoursIn(image, log->visualItemRect(log->item(0))), QSet<QRgb>({0xFFFF0000u}));
    QCOMPARE(ColoursIn(image, log->visualItemRect(log->item(1))), QSet<QRgb>({0xFF008000u}));
  }

  void clearEmptiesTheLogAndTheNextLineIsTheOnlyOne() {
    auto* clear = Find<QPushButton>("clearLogButton");
    clear->click();
    QCOMPARE(Log()->count(), 0);
    clear->click();
    QCOMPARE(Log()->count(), 0);
    dialog_->AppendLog("after", 0);
    QCOMPARE(Log()->count(), 1);
  }

  void optionClickIsSavedAtOnce_data() {
    QTest::addColumn<QString>("check");
    QTest::addColumn<QString>("valueName");
    QTest::newRow("start minimized") << "startMinimizedCheck" << "STARTMIN";
    QTest::newRow("run at start") << "runAtStartCheck" << "STARTRUN";
    QTest::newRow("local address") << "localAddressCheck" << "LOCALGLOBAL";
    QTest::newRow("decimal address") << "decimalAddressCheck" << "BIT32";
  }

  void optionClickIsSavedAtOnce() {
    QFETCH(QString, check);
    QFETCH(QString, valueName);
    auto* box = Find<QCheckBox>(check.toLatin1().constData());
    box->click();
    QVERIFY(SavedText().contains(valueName + "=1\n"));
    box->click();
    QVERIFY(SavedText().contains(valueName + "=0\n"));
    // Saving an option does not need the interval field to be valid.
    Find<QLineEdit>("intervalEdit")->setText("abc");
    box->click();
    QVERIFY(SavedText().contains(valueName + "=1\n"));
    QVERIFY(box->isChecked());
    QVERIFY(MessageBoxSeam::TakeShown().empty());
  }

  // "変化時に確認" is on unless the file says 0; turned off it is saved as Events=0, turned on again
  // the line goes, as in a file from before it. It sits in a free stretch: it covers no control.
  void eventsBoxIsSavedAtOnceAndCoversNoControl() {
    auto* box = Find<QCheckBox>("eventsCheck");
    QVERIFY(box->isChecked());
    box->click();
    QVERIFY(SavedText().contains("Events=0\n"));
    QVERIFY(!settings_.events);
    box->click();
    QVERIFY(!SavedText().contains("Events"));
    QVERIFY(settings_.events && box->isChecked());
    for (const QWidget* other : dialog_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (other == box || !other->isVisibleTo(dialog_.get())) continue;
      QVERIFY2(!other->geometry().intersects(box->geometry()), qPrintable(other->objectName()));
    }
    QVERIFY(dialog_->rect().contains(box->geometry()));
    QVERIFY2(box->sizeHint().width() <= box->width(), "the caption is cut");
  }

  // What the file does not hold is not in force either: the box says why, and the window shows
  // the stored option and keeps running on the stored period.
  void aFailedSaveKeepsTheStoredOptionAndPeriod() {
    const auto notAFolder = scope_->dir().path() / "not-a-folder";
    test::WriteFile(notAFolder, "x");
    test::ScopedEnv xdg("XDG_CONFIG_HOME", notAFolder.string());
    const AppSettings before = settings_;
    auto* local = Find<QCheckBox>("localAddressCheck");
    local->click();
    QCOMPARE(MessageBoxSeam::TakeShown().size(), std::size_t{1});
    QVERIFY(settings_ == before);
    QVERIFY(!local->isChecked());
    QVERIFY(Find<QPushButton>("routerSettingsButton")->isEnabled());

    dialog_->SetSecondsToNextCheck(500);
    Find<QLineEdit>("intervalEdit")->setText("5");
    Find<QPushButton>("unitButton")->click();  // 時 → 日
    Find<QPushButton>("applyButton")->click();
    QCOMPARE(MessageBoxSeam::TakeShown().size(), std::size_t{1});
    QVERIFY(settings_ == before);
    QCOMPARE(dialog_->secondsToNextCheck(), std::int64_t{500});
    // What was typed and chosen stays on screen, to be applied again once the file can be written.
    QCOMPARE(Find<QLineEdit>("intervalEdit")->text(), QStringLiteral("5"));
    QCOMPARE(Find<QPushButton>("unitButton")->text(), QStringLiteral("日"));
  }

  void routerSettingsButtonFollowsTheLocalAddressOption() {
    auto* local = Find<QCheckBox>("localAddressCheck");
    auto* router = Find<QPushButton>("routerSettingsButton");
    QVERIFY(router->isEnabled());
    local->click();
    QVERIFY(!router->isEnabled());
    QCOMPARE(settings_.useLocalAddress, 1);
    local->click();
    QVERIFY(router->isEnabled());
  }

  void routerSettingsButtonStartsDisabledWithLocalAddressOn() {
    AppSettings settings;
    settings.useLocalAddress = 1;
    MainDialog dialog(settings, [](std::chrono::milliseconds) {});
    QVERIFY(!dialog.findChild<QPushButton*>("routerSettingsButton")->isEnabled());
    QVERIFY(dialog.findChild<QCheckBox*>("localAddressCheck")->isChecked());
  }

  void invalidIntervalKeepsTheWindowOpen_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("too big") << "10000";
    QTest::newRow("negative") << "-1";
    QTest::newRow("not a number") << "abc";
    QTest::newRow("empty") << "";
  }

  void invalidIntervalKeepsTheWindowOpen() {
    QFETCH(QString, text);
    Find<QLineEdit>("intervalEdit")->setText(text);
    QTest::keyClick(dialog_.get(), Qt::Key_Escape);
    QVERIFY(dialog_->isVisible());
    Find<QPushButton>("quitButton")->click();
    QVERIFY(dialog_->isVisible());
    const auto shown = MessageBoxSeam::TakeShown();
    QCOMPARE(shown.size(), std::size_t{2});
    QCOMPARE(shown[0].text, QString::fromUtf8(msg::kIntervalInvalid));
    QCOMPARE(shown[0].icon, MessageIcon::Exclamation);
    // Log lines keep their pace quietly rather than repeating the box.
    dialog_->AppendLog("quiet", 0);
    QVERIFY(MessageBoxSeam::TakeShown().empty());
  }

  void escapeAndQuitEndTheWindowWithAValidInterval() {
    Find<QLineEdit>("intervalEdit")->setText("9999");
    QTest::keyClick(dialog_.get(), Qt::Key_Escape);
    QVERIFY(!dialog_->isVisible());
    dialog_->show();
    Find<QPushButton>("quitButton")->click();
    QVERIFY(!dialog_->isVisible());
    QVERIFY(MessageBoxSeam::TakeShown().empty());
  }

  void enterAndGetZepaNeverClose() {
    QTest::keyClick(dialog_.get(), Qt::Key_Return);
    QTest::keyClick(Find<QLineEdit>("intervalEdit"), Qt::Key_Enter);
    Find<QPushButton>("getZepaButton")->click();
    QVERIFY(dialog_->isVisible());
    QVERIFY(test::WaitForCheckEnd(*dialog_));
    QVERIFY(dialog_->isVisible());
  }

  void closeBoxAndAltF4DoNothing() {
    QVERIFY(!dialog_->close());
    QVERIFY(dialog_->isVisible());
    QVERIFY(!dialog_->windowFlags().testFlag(Qt::WindowCloseButtonHint));
  }

  void settingsAreCopiedIntoTheWindow() {
    AppSettings settings;
    settings.interval = 45;
    settings.startMinimized = 1;
    settings.runAtStart = 0;
    settings.decimalAddress = 1;
    settings.intervalUnit = 2;
    MainDialog dialog(settings, [](std::chrono::milliseconds) {});
    QCOMPARE(dialog.findChild<QLineEdit*>("intervalEdit")->text(), QStringLiteral("45"));
    QVERIFY(dialog.findChild<QCheckBox*>("startMinimizedCheck")->isChecked());
    QVERIFY(!dialog.findChild<QCheckBox*>("runAtStartCheck")->isChecked());
    QVERIFY(dialog.findChild<QCheckBox*>("decimalAddressCheck")->isChecked());
    QCOMPARE(dialog.findChild<QPushButton*>("unitButton")->text(), QStringLiteral("日"));
  }

  // The check pauses after each of its own lines, on its thread, so the window keeps drawing
  // while the lines arrive; lines the window writes itself do not wait.
  void eachShownLinePausesTwoHundredMilliseconds() {
    AppSettings settings;  // no router: the check fails at once, with a few lines
    std::mutex mutex;
    std::vector<std::chrono::milliseconds> pauses;
    bool pausedOnTheUiThread = false;
    MainDialog dialog(settings, [&](std::chrono::milliseconds ms) {
      const std::lock_guard lock(mutex);
      pauses.push_back(ms);
      pausedOnTheUiThread |= QThread::currentThread() == qApp->thread();
    });
    const auto pausesSoFar = [&] {
      const std::lock_guard lock(mutex);
      return pauses;
    };
    dialog.accept();
    QVERIFY(test::WaitForCheckEnd(dialog));
    QVERIFY(pausesSoFar().empty());  // nobody can see these lines arrive yet

    dialog.show();
    const int before = test::LogCount(dialog);
    dialog.accept();
    QVERIFY(test::WaitForCheckEnd(dialog));
    const int checkLines = test::LogCount(dialog) - before - 1;  // after "マニュアルで実行"
    QVERIFY(checkLines > 0);
    QCOMPARE(pausesSoFar(),
             std::vector<std::chrono::milliseconds>(checkLines, std::chrono::milliseconds(200)));
    QVERIFY(!pausedOnTheUiThread);
    dialog.AppendLog("one", 0);
    QCOMPARE(pausesSoFar().size(), std::size_t(checkLines));
  }

 private:
  template <typename W>
  W* Find(const char* name) {
    W* widget = dialog_->findChild<W*>(QLatin1String(name));
    if (!widget) qFatal("no widget %s", name);
    return widget;
  }

  ActivityLog* Log() { return Find<ActivityLog>("logList"); }

  static QString SavedText() {
    return QString::fromStdString(test::ReadFile(SettingsFilePath()));
  }

  // Every colour in a row of the list, with anti-aliased edges folded into the nearest pure one.
  static QSet<QRgb> ColoursIn(const QImage& image, const QRect& row) {
    QSet<QRgb> colours;
    for (int y = row.top(); y <= row.bottom(); ++y) {
      for (int x = row.left(); x <= row.right() && x < image.width(); ++x) {
        QColor c = image.pixelColor(x, y);
        // Pale pixels are the letters' soft edges blending into the white.
        if (std::min({c.red(), c.green(), c.blue()}) > 200) continue;
        colours.insert(c.hsvSaturation() < 10 ? c.rgb() : PureHue(c));
      }
    }
    return colours;
  }

  static QRgb PureHue(const QColor& c) {
    if (c.hsvHue() < 20 || c.hsvHue() > 340) return 0xFFFF0000u;
    if (c.hsvHue() > 100 && c.hsvHue() < 140) return 0xFF008000u;
    return c.rgb();
  }

};

QTEST_MAIN(MainDialogTest)
#include "main_dialog_test.moc"
