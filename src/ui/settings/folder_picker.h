// A modal chooser for a local folder that shows the selected folder's path while it is open.
#pragma once

#include <QDialog>
#include <string>

class QDialogButtonBox;
class QFileSystemModel;
class QLabel;
class QTreeView;

namespace zepa2::ui {

// The tree starts at "/" and lists folders only; the line above it reads "選択中のパス：<path>"
// for the folder selected at that moment. Paths go in and come out as CP932 bytes.
class FolderPicker : public QDialog {
  Q_OBJECT

 public:
  // startPath, when it names an existing folder, is selected at opening.
  FolderPicker(QWidget* owner, const std::string& startPath);

  // The full path of the selected folder, empty when none is selected.
  std::string SelectedPath() const;

 private:
  void ShowSelection();
  void SelectStartPath(const std::string& startPath);

  QLabel* pathLine_;
  QTreeView* tree_;
  QFileSystemModel* model_;
  QDialogButtonBox* buttons_;
};

// Lets the user choose a folder. True with path set to the chosen folder's full path; false, with
// path untouched, when the user cancelled.
bool PickFolder(QWidget* owner, std::string& path);

}  // namespace zepa2::ui
