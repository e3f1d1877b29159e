#include "ui/settings/file_select.h"

#include <QFileSystemModel>
#include <QTreeView>
#include <algorithm>

#include "core/text/messages.h"
#include "ui/common/cp932_text.h"

namespace zepa2::ui {

CFileSelect::CFileSelect(QWidget* parent, const QString& defaultSuffix, const QString& initialName,
                         const QStringList& filters)
    : QFileDialog(parent) {
  setObjectName(QStringLiteral("fileSelect"));
  setOption(QFileDialog::DontUseNativeDialog);
  setAcceptMode(QFileDialog::AcceptOpen);
  setFileMode(QFileDialog::AnyFile);
  setNameFilters(filters);
  selectNameFilter(filters.value(0));
  setDefaultSuffix(defaultSuffix);
  selectFile(initialName);
  // The folder's rows arrive after the dialog is up; the columns are fitted once they are there.
  if (auto* model = findChild<QFileSystemModel*>()) {
    connect(model, &QFileSystemModel::directoryLoaded, this, &CFileSelect::FitColumns);
  }
}

// Size, type and date get what their texts need (Japanese ones are wider than Qt's defaults), the
// name the rest; when the name would be cut, the dialog grows by what is missing.
void CFileSelect::FitColumns() {
  auto* view = findChild<QTreeView*>(QStringLiteral("treeView"));
  if (!view || !view->model()) return;
  int others = 0;
  for (int column = 1; column < view->model()->columnCount(); ++column) {
    if (view->isColumnHidden(column)) continue;
    view->resizeColumnToContents(column);
    others += view->columnWidth(column);
  }
  view->resizeColumnToContents(0);
  const int nameNeeds = view->columnWidth(0);
  const int missing = nameNeeds + others - view->viewport()->width();
  if (missing > 0) resize(width() + missing, height());
  view->setColumnWidth(0, std::max(nameNeeds, view->viewport()->width() - others));
}

std::string CFileSelect::PathName() const {
  const QStringList chosen = selectedFiles();
  return chosen.isEmpty() ? std::string() : ToCp932(chosen.first());
}

bool PickTemplateFile(QWidget* parent, std::string& path) {
  CFileSelect dialog(
      parent, QStringLiteral("html"), QStringLiteral("index.html"),
      {QString::fromUtf8(msg::kFileSelectHtmlFilter), QString::fromUtf8(msg::kFileSelectHtmFilter),
       QString::fromUtf8(msg::kFileSelectAllFilter)});
  if (dialog.exec() != QDialog::Accepted) return false;
  const std::string chosen = dialog.PathName();
  if (chosen.empty()) return false;
  path = chosen;
  return true;
}

}  // namespace zepa2::ui
