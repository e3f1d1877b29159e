#include "ui/common/cp932_text.h"

#include <QLineEdit>

#include "core/text/cp932.h"

namespace zepa2::ui {

QString FromCp932(const std::string& bytes) { return QString::fromStdString(Cp932ToUtf8(bytes)); }

std::string ToCp932(const QString& text) { return Utf8ToCp932(text.toStdString()); }

void Cp932Edit::Set(const std::string& bytes) { Set(bytes, FromCp932(bytes)); }

void Cp932Edit::Set(const std::string& bytes, const QString& shown) {
  bytes_ = bytes;
  shown_ = shown;
  edit_->setText(shown_);
}

std::string Cp932Edit::Get() const {
  const QString now = edit_->text();
  return now == shown_ ? bytes_ : ToCp932(now);
}

}  // namespace zepa2::ui
