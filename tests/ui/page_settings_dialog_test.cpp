// Drives the page settings form: the rewrite switch, the folder check and the folder browse buttons.
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>
#include <filesystem>

#include "support/qt_modal.h"
#include "support/temp_dir.h"
#include "ui/common/message_box.h"
#include "ui/settings/folder_picker.h"
#include "ui/settings/page_settings_dialog.h"

using zepa2::ui::MessageBoxSeam;
using zepa2::ui::PageSettingsDialog;

namespace {

const char* const kFolderControls[] = {"sourceFolderEdit", "sourceBrowseButton", "outputFolderEdit",
                                       "outputBrowseButton", "copyOutputButton"};
const char* const kAlwaysUsable[] = {"rewriteSwitch", "htmlFilesCheck", "htmFilesCheck",
                                     "cgiFilesCheck", "shtmlFilesCheck", "okButton", "cancelButton"};

template <typename T = QWidget>
T* Child(QWidget& dialog, const char* name) {
  T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
  if (!widget) qFatal("no widget %s", name);
  return widget;
}

QLineEdit* Edit(QWidget& dialog, const char* name) { return Child<QLineEdit>(dialog, name); }

}  // namespace

class PageSettingsDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { MessageBoxSeam::Intercept(true); }
  void cleanup() { MessageBoxSeam::Intercept(false); }

  void SwitchEnablesFolderControlsAndKeepsTheirText() {
    PageSettingsDialog dialog;
    for (const char* name : kFolderControls) QVERIFY2(!Child(dialog, name)->isEnabled(), name);
    for (const char* name : kAlwaysUsable) QVERIFY2(Child(dialog, name)->isEnabled(), name);

    Child<QCheckBox>(dialog, "rewriteSwitch")->click();
    for (const char* name : kFolderControls) QVERIFY2(Child(dialog, name)->isEnabled(), name);
    Edit(dialog, "sourceFolderEdit")->setText(QStringLiteral("/srv/ホームページ"));
    Edit(dialog, "outputFolderEdit")->setText(QStringLiteral("/srv/out"));

    Child<QCheckBox>(dialog, "rewriteSwitch")->click();
    for (const char* name : kFolderControls) QVERIFY2(!Child(dialog, name)->isEnabled(), name);
    for (const char* name : kAlwaysUsable) QVERIFY2(Child(dialog, name)->isEnabled(), name);
    QCOMPARE(Edit(dialog, "sourceFolderEdit")->text(), QStringLiteral("/srv/ホームページ"));
    QCOMPARE(Edit(dialog, "outputFolderEdit")->text(), QStringLiteral("/srv/out"));
  }

  void CopyOutputAsksForBothFolders() {
    PageSettingsDialog dialog;
    Child<QCheckBox>(dialog, "rewriteSwitch")->click();
    auto* copy = Child<QPushButton>(dialog, "copyOutputButton");

    Edit(dialog, "sourceFolderEdit")->setText(QStringLiteral("/srv/in"));
    copy->click();
    auto shown = MessageBoxSeam::TakeShown();
    QCOMPARE(shown.size(), std::size_t{1});
    QCOMPARE(shown[0].text, QStringLiteral("フォルダーを指定してください。"));
    QVERIFY(shown[0].buttons == zepa2::ui::MessageButtons::Ok);
    QVERIFY(shown[0].icon == zepa2::ui::MessageIcon::None);

    Edit(dialog, "sourceFolderEdit")->clear();
    Edit(dialog, "outputFolderEdit")->setText(QStringLiteral("/srv/out"));
    copy->click();
    QCOMPARE(MessageBoxSeam::TakeShown().size(), std::size_t{1});

    Edit(dialog, "sourceFolderEdit")->setText(QStringLiteral("/srv/in"));
    copy->click();
    QVERIFY(MessageBoxSeam::TakeShown().empty());
    QCOMPARE(dialog.result(), 0);  // it checks, and neither closes the form nor touches a file
    QCOMPARE(Edit(dialog, "sourceFolderEdit")->text(), QStringLiteral("/srv/in"));
  }

  void EveryOpeningStartsEmpty() {
    {
      PageSettingsDialog first;
      Child<QCheckBox>(first, "rewriteSwitch")->click();
      Child<QCheckBox>(first, "cgiFilesCheck")->click();
      Edit(first, "sourceFolderEdit")->setText(QStringLiteral("/srv/in"));
      Child<QPushButton>(first, "okButton")->click();
      QCOMPARE(first.result(), int(QDialog::Accepted));
    }
    PageSettingsDialog second;
    for (const char* name : {"rewriteSwitch", "htmlFilesCheck", "htmFilesCheck", "cgiFilesCheck",
                             "shtmlFilesCheck"}) {
      QVERIFY2(!Child<QCheckBox>(second, name)->isChecked(), name);
    }
    QVERIFY(Edit(second, "sourceFolderEdit")->text().isEmpty());
    QVERIFY(Edit(second, "outputFolderEdit")->text().isEmpty());
  }

  void BrowseFillsItsOwnFolderAndCancelKeepsIt() {
    zepa2::test::TempDir dir;
    std::filesystem::create_directories(dir / "site");
    const QString site = QString::fromStdString((dir / "site").string());

    PageSettingsDialog dialog;
    Child<QCheckBox>(dialog, "rewriteSwitch")->click();
    Edit(dialog, "outputFolderEdit")->setText(QStringLiteral("/keep/me"));

    zepa2::test::OnNextModalDialog([site](QDialog* picker) {
      QTreeView* tree = picker->findChild<QTreeView*>("folderTree");
      auto* model = qobject_cast<QFileSystemModel*>(tree->model());
      tree->selectionModel()->setCurrentIndex(
          model->index(site), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
      picker->findChild<QDialogButtonBox*>("pickerButtons")->button(QDialogButtonBox::Ok)->click();
    });
    Child<QPushButton>(dialog, "sourceBrowseButton")->click();
    QCOMPARE(Edit(dialog, "sourceFolderEdit")->text(), site);
    QCOMPARE(Edit(dialog, "outputFolderEdit")->text(), QStringLiteral("/keep/me"));

    zepa2::test::OnNextModalDialog([](QDialog* picker) { picker->reject(); });
    Child<QPushButton>(dialog, "outputBrowseButton")->click();
    QCOMPARE(Edit(dialog, "outputFolderEdit")->text(), QStringLiteral("/keep/me"));
    QCOMPARE(Edit(dialog, "sourceFolderEdit")->text(), site);
  }

  void ShowsEveryCaption() {
    PageSettingsDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("ＨＰの設定"));
    struct Caption { const char* name; QString text; };
    const Caption captions[] = {
        // The gap before 有効 is a full-width space (U+3000).
        {"rewriteSwitch", QStringLiteral("ホームページのＩＰ書き換え\u3000有効／無効")},
        {"sourceFolderLabel", QStringLiteral("元フォルダー名")},
        {"outputFolderLabel", QStringLiteral("出力先フォルダー名")},
        {"sourceBrowseButton", QStringLiteral("参照")},
        {"outputBrowseButton", QStringLiteral("参照")},
        {"copyOutputButton", QStringLiteral("コピー出力")},
        {"htmlFilesCheck", QStringLiteral("ＨＴＭＬファイル")},
        {"htmFilesCheck", QStringLiteral("ＨＴＭファイル")},
        {"cgiFilesCheck", QStringLiteral("ＣＧＩファイル")},
        {"shtmlFilesCheck", QStringLiteral("ＳＨＴＭＬファイル")},
        {"okButton", QStringLiteral("設定")},
        {"cancelButton", QStringLiteral("ｷｬﾝｾﾙ")},
        {"folderSettingsGroup", QStringLiteral("フォルダー設定")},
        {"rewriteTargetsGroup", QStringLiteral("ＩＰ書き換え対象")},
    };
    for (const auto& caption : captions) {
      QWidget* widget = Child(dialog, caption.name);
      const char* property = qobject_cast<QGroupBox*>(widget) ? "title" : "text";
      QCOMPARE(widget->property(property).toString(), caption.text);
    }
  }
};

QTEST_MAIN(PageSettingsDialogTest)
#include "page_settings_dialog_test.moc"
