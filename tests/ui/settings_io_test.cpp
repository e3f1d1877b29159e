// The window's settings load and save: one box per unusable password byte, a box for a failed save.
#include <QtTest>

#include "core/settings/settings_store.h"
#include "core/text/messages.h"
#include "support/temp_dir.h"
#include "ui/common/message_box.h"
#include "ui/common/settings_io.h"

namespace zepa2::ui {

class SettingsIoTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { MessageBoxSeam::Intercept(true); }
  void cleanup() { MessageBoxSeam::Intercept(false); }

  void tabsInPasswordGiveOneBoxEachAndComeBackAsSpaces() {
    test::TempDir dir;
    test::ScopedEnv xdg("XDG_CONFIG_HOME", dir.path().string());
    AppSettings settings;
    settings.sites[0].pass = "a\tb\t";
    QVERIFY(SaveAppSettings(nullptr, settings));

    const auto shown = MessageBoxSeam::TakeShown();
    QCOMPARE(shown.size(), 2u);
    for (const auto& box : shown) {
      QCOMPARE(box.text, QString::fromUtf8(msg::kBadPasswordChar));
      QVERIFY(box.buttons == MessageButtons::Ok);
      QVERIFY(box.icon == MessageIcon::Exclamation);
    }

    AppSettings loaded;
    LoadAppSettings(nullptr, loaded);
    QVERIFY(MessageBoxSeam::TakeShown().empty());
    QCOMPARE(loaded.sites[0].pass, std::string("a b "));
    QVERIFY(std::filesystem::exists(dir.path() / "ZEPA" / "ZEPA2.conf"));
  }

  void failedSaveShowsFileAndReason() {
    test::TempDir dir;
    const auto notAFolder = dir.path() / "file";
    test::WriteFile(notAFolder, "x");
    test::ScopedEnv xdg("XDG_CONFIG_HOME", notAFolder.string());
    QVERIFY(!SaveAppSettings(nullptr, AppSettings{}));

    const auto shown = MessageBoxSeam::TakeShown();
    QCOMPARE(shown.size(), 1u);
    QVERIFY(shown[0].text.startsWith(QString::fromUtf8(msg::kSettingsSaveFailed).section('\n', 0, 0)));
    QVERIFY(shown[0].text.contains(QString::fromStdString(SettingsFilePath().string())));
    QVERIFY(shown[0].icon == MessageIcon::Exclamation);
  }
};

}  // namespace zepa2::ui

QTEST_MAIN(zepa2::ui::SettingsIoTest)
#include "settings_io_test.moc"
