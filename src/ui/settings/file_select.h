// The file-open dialog for a site's page template: html first, a default suffix, any name accepted.
#pragma once

#include <QFileDialog>
#include <QStringList>
#include <string>

namespace zepa2::ui {

// Qt's own (non-native) dialog. It never changes the process's working folder
// and returns the name of a file that does not exist yet like any other.
class CFileSelect : public QFileDialog {
  Q_OBJECT

 public:
  CFileSelect(QWidget* parent, const QString& defaultSuffix, const QString& initialName,
              const QStringList& filters);

  // The full path chosen, as CP932 bytes; empty before OK.
  std::string PathName() const;

 private:
  void FitColumns();
};

// Lets the user choose a template ("index.html" offered, "html" added to a bare name). True with
// path set to the full path chosen; false, with path untouched, when the user cancelled.
bool PickTemplateFile(QWidget* parent, std::string& path);

}  // namespace zepa2::ui
