// The modal viewer for a long text (usually a page), optionally with a field to pick text out of it.
#pragma once

#include <QDialog>
#include <filesystem>
#include <string>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace zepa2::ui {

class PageViewDialog : public QDialog {
  Q_OBJECT

 public:
  // View mode only shows the text; pick mode adds the field the user pastes the wanted text into.
  explicit PageViewDialog(bool pickMode, QWidget* parent = nullptr);

  // The text to show, in CP932; set before exec().
  void setSourceText(const std::string& cp932);
  // What the pick field held: trimmed after OK; after Esc the last clipboard text, untrimmed.
  const std::string& pickedText() const { return pickedText_; }

  void accept() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void TakeClipboardText();

  QPlainTextEdit* pageText_;
  QLineEdit* pickEdit_;
  QLabel* pickHint_;
  QPushButton* okButton_;
  std::string pickedText_;
};

// Shows a generated page in view mode and returns when the user closes it.
void ShowGeneratedPage(const std::string& page);

// Shows a page file in view mode; when the file cannot be opened, says so in a message box instead.
bool ShowPageFile(const std::filesystem::path& file);

}  // namespace zepa2::ui
