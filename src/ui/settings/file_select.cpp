#include "ui/settings/file_select.h"

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
}

std::string CFileSelect::PathName() const {
  const QStringList chosen = selectedFiles();
  return chosen.isEmpty() ? std::string() : ToCp932(chosen.first());
}

bool PickTemplateFile(QWidget* parent, std::string& path) {
  CFileSelect dialog(parent, QStringLiteral("html"), QStringLiteral("index.html"),
                     {QString::fromUtf8(msg::kFileSelectHtmlFilter),
                      QString::fromUtf8(msg::kFileSelectHtmFilter),
                      QString::fromUtf8(msg::kFileSelectAllFilter)});
  if (dialog.exec() != QDialog::Accepted) return false;
  const std::string chosen = dialog.PathName();
  if (chosen.empty()) return false;
  path = chosen;
  return true;
}

}  // namespace zepa2::ui
