// The one place where CP932 bytes become QString for display and typed text becomes CP932 bytes.
#pragma once

#include <QString>
#include <string>

class QLineEdit;

namespace zepa2::ui {

QString FromCp932(const std::string& bytes);
std::string ToCp932(const QString& text);

// Binds a QLineEdit to a CP932 field so that bytes which do not survive a trip through QString
// (half a two-byte character at a marker's end, a byte with no character) come back unchanged as
// long as the user leaves the text alone.
class Cp932Edit {
 public:
  explicit Cp932Edit(QLineEdit* edit) : edit_(edit) {}
  void Set(const std::string& bytes);
  // The same, for bytes that are shown some other way (a server's name that may be UTF-8).
  void Set(const std::string& bytes, const QString& shown);
  std::string Get() const;
  QLineEdit* widget() const { return edit_; }

 private:
  QLineEdit* edit_;
  std::string bytes_;
  QString shown_;
};

}  // namespace zepa2::ui
