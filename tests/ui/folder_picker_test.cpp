// Drives the folder picker over a temporary folder tree on the offscreen platform.
#include <QDialogButtonBox>
#include <QFileSystemModel>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>
#include <filesystem>

#include "support/qt_modal.h"
#include "support/temp_dir.h"
#include "ui/common/cp932_text.h"
#include "ui/settings/folder_picker.h"

using zepa2::test::TempDir;
using zepa2::ui::FolderPicker;

namespace {

const QString kPrefix = QStringLiteral("選択中のパス：");

QString Q(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

QTreeView* Tree(FolderPicker& picker) { return picker.findChild<QTreeView*>("folderTree"); }

QString PathLine(FolderPicker& picker) {
  return picker.findChild<QLabel*>("selectedPathLine")->text();
}

QPushButton* OkButton(QDialog* picker) {
  return picker->findChild<QDialogButtonBox*>("pickerButtons")->button(QDialogButtonBox::Ok);
}

// Selects a folder the way a click does, through the view's selection model.
bool Select(FolderPicker& picker, const QString& path) {
  QTreeView* tree = Tree(picker);
  auto* model = qobject_cast<QFileSystemModel*>(tree->model());
  const QModelIndex index = model->index(path);
  if (!index.isValid()) return false;
  tree->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  return true;
}

}  // namespace

class FolderPickerTest : public QObject {
  Q_OBJECT

 private slots:
  void ListsFoldersOnly() {
    TempDir dir;
    std::filesystem::create_directories(dir / "alpha");
    std::filesystem::create_directories(dir / "beta");
    zepa2::test::WriteFile(dir / "page.html", "<html></html>");

    FolderPicker picker(nullptr, "");
    QTreeView* tree = Tree(picker);
    auto* model = qobject_cast<QFileSystemModel*>(tree->model());
    const QModelIndex top = model->index(Q(dir.path()));
    QVERIFY(top.isValid());
    model->fetchMore(top);
    QTRY_COMPARE(model->rowCount(top), 2);
    QStringList names;
    for (int row = 0; row < 2; ++row) names << model->fileName(model->index(row, 0, top));
    names.sort();
    QCOMPARE(names, QStringList({"alpha", "beta"}));
  }

  void PathLineFollowsEverySelection() {
    TempDir dir;
    const std::filesystem::path folders[] = {dir / "alpha", dir / "ページ", dir / "alpha" / "deep"};
    for (const auto& folder : folders) std::filesystem::create_directories(folder);

    FolderPicker picker(nullptr, "");
    QCOMPARE(PathLine(picker), kPrefix);
    QVERIFY(!OkButton(&picker)->isEnabled());

    for (const auto& folder : folders) {
      QTRY_VERIFY(Select(picker, Q(folder)));
      QCOMPARE(PathLine(picker), kPrefix + Q(folder));
      QCOMPARE(picker.SelectedPath(), zepa2::ui::ToCp932(Q(folder)));
      QVERIFY(OkButton(&picker)->isEnabled());
    }
  }

  void LongPathIsCutInTheLineButReturnedWhole() {
    TempDir dir;
    std::filesystem::path folder = dir.path();
    while (folder.string().size() + 51 <= 250) folder /= std::string(50, 'd');
    folder /= std::string(250 - folder.string().size() - 1, 'e');
    QCOMPARE(folder.string().size(), std::size_t{250});
    std::filesystem::create_directories(folder);

    FolderPicker picker(nullptr, "");
    QTRY_VERIFY(Select(picker, Q(folder)));
    const std::string line = zepa2::ui::ToCp932(PathLine(picker));
    QCOMPARE(line.size(), std::size_t{259});
    QVERIFY(PathLine(picker).startsWith(kPrefix + Q(dir.path())));
    QCOMPARE(picker.SelectedPath(), folder.string());
  }

  void StartPathIsTidiedAndPreselected() {
    TempDir dir;
    std::filesystem::create_directories(dir / "site");
    FolderPicker picker(nullptr, (dir / "site").string() + "/");
    QCOMPARE(picker.SelectedPath(), (dir / "site").string());
    QCOMPARE(PathLine(picker), kPrefix + Q(dir / "site"));

    FolderPicker nowhere(nullptr, (dir / "missing").string());
    QCOMPARE(nowhere.SelectedPath(), std::string());
  }

  void PickFolderReturnsTheChoiceAndKeepsThePathOnCancel() {
    TempDir dir;
    std::filesystem::create_directories(dir / "out");

    std::string path = "/before";
    zepa2::test::OnNextModalDialog([](QDialog* dialog) { dialog->reject(); });
    QVERIFY(!zepa2::ui::PickFolder(nullptr, path));
    QCOMPARE(path, std::string("/before"));

    const QString chosen = Q(dir / "out");
    zepa2::test::OnNextModalDialog([chosen](QDialog* dialog) {
      auto* picker = qobject_cast<FolderPicker*>(dialog);
      QVERIFY(picker && Select(*picker, chosen));
      OkButton(dialog)->click();
    });
    QVERIFY(zepa2::ui::PickFolder(nullptr, path));
    QCOMPARE(path, (dir / "out").string());
  }
};

QTEST_MAIN(FolderPickerTest)
#include "folder_picker_test.moc"
