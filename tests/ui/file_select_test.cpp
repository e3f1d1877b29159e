// Drives the template file picker: its filters and suffix, names of missing files, the working folder.
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTreeView>
#include <QtTest>
#include <filesystem>

#include "support/publish_support.h"
#include "support/qt_modal.h"
#include "support/temp_dir.h"
#include "ui/common/cp932_text.h"
#include "ui/common/qt_translation.h"
#include "ui/settings/file_select.h"

namespace zepa2::ui {
namespace {

// Types name into the open picker, in folder, and confirms.
void TypeIntoNextPicker(const std::filesystem::path& folder, const QString& name) {
  test::OnNextModalDialog([folder, name](QDialog* dialog) {
    auto* picker = qobject_cast<QFileDialog*>(dialog);
    QVERIFY(picker);
    picker->setDirectory(QString::fromStdString(folder.string()));
    picker->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
    dialog->accept();  // through QDialog, where accept() is public
  });
}

}  // namespace

class FileSelectTest : public QObject {
  Q_OBJECT

 private slots:
  void OffersHtmlFirstAndIndexHtml() {
    QStringList filters;
    QString selectedFilter, suffix, offeredName;
    bool native = true;
    test::OnNextModalDialog([&](QDialog* dialog) {
      auto* picker = qobject_cast<QFileDialog*>(dialog);
      filters = picker->nameFilters();
      selectedFilter = picker->selectedNameFilter();
      suffix = picker->defaultSuffix();
      native = !picker->testOption(QFileDialog::DontUseNativeDialog);
      offeredName = picker->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
      picker->reject();
    });
    std::string path = "/keep/me.html";
    QVERIFY(!PickTemplateFile(nullptr, path));
    QCOMPARE(path, std::string("/keep/me.html"));
    QCOMPARE(filters, (QStringList{"html Files (*.html)", "htm Files (*.htm)", "All Files (*.*)"}));
    QCOMPARE(selectedFilter, QStringLiteral("html Files (*.html)"));
    QCOMPARE(suffix, QStringLiteral("html"));
    QCOMPARE(offeredName, QStringLiteral("index.html"));
    QVERIFY(!native);
  }

  // Every column of the folder's rows shows whole at the size the picker opens with, in Japanese.
  void ColumnsFitAtTheOpeningSize() {
    QVERIFY(LoadQtJapanese(*QCoreApplication::instance()));
    test::TempDir dir;
    test::WriteFile(dir / "a-rather-long-template-name-for-the-site.html", std::string(188, 'x'));
    bool fits = false;
    QString widths;
    test::OnNextModalDialog([&](QDialog* dialog) {
      auto* picker = qobject_cast<QFileDialog*>(dialog);
      auto* view = picker->findChild<QTreeView*>(QStringLiteral("treeView"));
      const auto allFit = [&] {
        int total = 0;
        widths.clear();
        for (int column = 0; column < view->model()->columnCount(); ++column) {
          if (view->isColumnHidden(column)) continue;
          // Through the base, where the tree view's own measure is public.
          const int needs = std::max(static_cast<QAbstractItemView*>(view)->sizeHintForColumn(column),
                                     view->header()->sectionSizeHint(column));
          widths += QStringLiteral("%1/%2 ").arg(view->columnWidth(column)).arg(needs);
          if (view->columnWidth(column) < needs) return false;
          total += view->columnWidth(column);
        }
        return view->model()->rowCount(view->rootIndex()) > 0 && total <= view->viewport()->width();
      };
      fits = QTest::qWaitFor(allFit, 5000);
      picker->reject();
    });
    QTimer::singleShot(0, [&dir] {
      if (auto* picker = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
        picker->setDirectory(QString::fromStdString(dir.path().string()));
      }
    });
    std::string path;
    PickTemplateFile(nullptr, path);
    QVERIFY2(fits, qPrintable(widths));
  }

  void BareNameGetsHtmlAndMissingFilesAreReturned() {
    test::TempDir dir;
    struct Case { QString typed; std::filesystem::path expected; };
    const Case cases[] = {
        {QStringLiteral("page"), dir / "page.html"},
        {QStringLiteral("old.htm"), dir / "old.htm"},
        {QStringLiteral("ページ.html"), dir / "ページ.html"},
    };
    for (const Case& c : cases) {
      TypeIntoNextPicker(dir.path(), c.typed);
      std::string path;
      QVERIFY(PickTemplateFile(nullptr, path));
      QCOMPARE(FromCp932(path), QString::fromStdString(c.expected.string()));  // path is CP932
      QVERIFY(!std::filesystem::exists(c.expected));
    }
  }

  void WorkingFolderStaysWhereItWas() {
    test::TempDir work, elsewhere;
    test::WriteFile(elsewhere / "index.html", "x");
    test::ScopedWorkingFolder inWork(work.path());
    TypeIntoNextPicker(elsewhere.path(), QStringLiteral("index.html"));
    std::string path;
    QVERIFY(PickTemplateFile(nullptr, path));
    QCOMPARE(path, (elsewhere / "index.html").string());
    QCOMPARE(std::filesystem::current_path(), work.path());
  }
};

}  // namespace zepa2::ui

QTEST_MAIN(zepa2::ui::FileSelectTest)
#include "file_select_test.moc"
