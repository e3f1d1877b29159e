#include "ui/settings/folder_picker.h"

#include <QDialogButtonBox>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSizePolicy>
#include <QTreeView>
#include <QVBoxLayout>

#include "core/text/folder_path.h"
#include "core/text/messages.h"
#include "ui/common/cp932_text.h"

namespace zepa2::ui {
namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

FolderPicker::FolderPicker(QWidget* owner, const std::string& startPath)
    : QDialog(owner),
      pathLine_(new QLabel(this)),
      tree_(new QTreeView(this)),
      model_(new QFileSystemModel(this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
  setObjectName(QStringLiteral("folderPicker"));
  setWindowTitle(Text(msg::kFolderPickerTitle));

  pathLine_->setObjectName(QStringLiteral("selectedPathLine"));
  // A long path is clipped on screen rather than stretching the dialog across the desktop.
  pathLine_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

  model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
  model_->setRootPath(QStringLiteral("/"));

  tree_->setObjectName(QStringLiteral("folderTree"));
  tree_->setModel(model_);
  tree_->setHeaderHidden(true);
  for (int column = 1; column < model_->columnCount(); ++column) tree_->hideColumn(column);
  tree_->setSelectionMode(QAbstractItemView::SingleSelection);
  tree_->expand(model_->index(QStringLiteral("/")));

  buttons_->setObjectName(QStringLiteral("pickerButtons"));
  buttons_->button(QDialogButtonBox::Ok)->setText(Text(msg::kFolderPickerOk));
  buttons_->button(QDialogButtonBox::Cancel)->setText(Text(msg::kFolderPickerCancel));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pathLine_);
  layout->addWidget(tree_, 1);
  layout->addWidget(buttons_);
  resize(360, 420);

  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(tree_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &FolderPicker::ShowSelection);

  ShowSelection();
  SelectStartPath(startPath);
}

std::string FolderPicker::SelectedPath() const {
  const QModelIndexList rows = tree_->selectionModel()->selectedRows();
  return rows.isEmpty() ? std::string() : ToCp932(model_->filePath(rows.first()));
}

void FolderPicker::ShowSelection() {
  const std::string path = SelectedPath();
  pathLine_->setText(FromCp932(SelectedPathLine(path)));
  buttons_->button(QDialogButtonBox::Ok)->setEnabled(!path.empty());
}

void FolderPicker::SelectStartPath(const std::string& startPath) {
  const QString path = FromCp932(NormalizeStartPath(startPath));
  if (path.isEmpty()) return;
  const QModelIndex index = model_->index(path);
  if (!index.isValid() || !model_->isDir(index)) return;
  tree_->selectionModel()->setCurrentIndex(index,
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  // The folder's siblings are read in the background and sorted in after opening, which moves
  // its row; follow it once, when that first sort lands, and leave the user's scrolling alone after.
  connect(
      model_, &QAbstractItemModel::layoutChanged, this, [this] { tree_->scrollTo(tree_->currentIndex()); },
      Qt::SingleShotConnection);
  tree_->scrollTo(index);
}

bool PickFolder(QWidget* owner, std::string& path) {
  FolderPicker picker(owner, path);
  if (picker.exec() != QDialog::Accepted) return false;
  const std::string chosen = picker.SelectedPath();
  if (chosen.empty()) return false;
  path = chosen;
  return true;
}

}  // namespace zepa2::ui
