#include "ui/settings/page_view_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>

#include "core/sys/read_file.h"
#include "core/text/messages.h"
#include "ui/common/cp932_text.h"
#include "ui/common/message_box.h"
#include "ui/common/wait_cursor.h"

namespace zepa2::ui {
namespace {

// Trims what C's isspace calls white space; none of these bytes can be half of a CP932 character.
std::string TrimWhiteSpace(const std::string& text) {
  constexpr const char* kSpace = " \t\r\n\v\f";
  const auto first = text.find_first_not_of(kSpace);
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(kSpace);
  return text.substr(first, last - first + 1);
}

}  // namespace

PageViewDialog::PageViewDialog(bool pickMode, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      pageText_(new QPlainTextEdit(this)),
      pickEdit_(new QLineEdit(this)),
      pickHint_(new QLabel(QString::fromUtf8(msg::kPageViewPickHint), this)),
      okButton_(
          new QPushButton(QString::fromUtf8(pickMode ? msg::kPageViewPick : msg::kPageViewClose), this)) {
  setObjectName(QStringLiteral("PageViewDialog"));
  setWindowTitle(QString::fromUtf8(msg::kPageViewTitle));
  pageText_->setObjectName(QStringLiteral("pageText"));
  pickEdit_->setObjectName(QStringLiteral("pickEdit"));
  pickHint_->setObjectName(QStringLiteral("pickHint"));
  okButton_->setObjectName(QStringLiteral("okButton"));

  pageText_->setReadOnly(true);
  pageText_->setLineWrapMode(QPlainTextEdit::NoWrap);
  pageText_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  pageText_->installEventFilter(this);
  pickEdit_->installEventFilter(this);
  pickEdit_->setVisible(pickMode);
  pickHint_->setVisible(pickMode);
  okButton_->setDefault(true);
  connect(okButton_, &QPushButton::clicked, this, &PageViewDialog::accept);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(pickHint_);
  bottom->addWidget(pickEdit_, 1);
  bottom->addStretch();
  bottom->addWidget(okButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pageText_, 1);
  layout->addLayout(bottom);
  setTabOrder(okButton_, pageText_);
  setTabOrder(pageText_, pickEdit_);
  okButton_->setFocus();  // the pick field takes the clipboard on focus, so it must not start with it
  resize(660, 590);
}

void PageViewDialog::setSourceText(const std::string& cp932) { pageText_->setPlainText(FromCp932(cp932)); }

void PageViewDialog::accept() {
  pickedText_ = TrimWhiteSpace(ToCp932(pickEdit_->text()));
  QDialog::accept();
}

bool PageViewDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == pickEdit_ && event->type() == QEvent::FocusIn) TakeClipboardText();
  // Enter inside the page belongs to the page (as in any multi-line field), not to the OK button.
  if (watched == pageText_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
  }
  return QDialog::eventFilter(watched, event);
}

// Each time the field gains the focus it shows what the clipboard holds: select in the page,
// copy, click into the field.
void PageViewDialog::TakeClipboardText() {
  const QMimeData* data = QApplication::clipboard()->mimeData();
  if (data == nullptr || !data->hasText()) return;
  const QString text = data->text();
  pickedText_ = ToCp932(text);
  pickEdit_->setText(text);
}

void ShowGeneratedPage(const std::string& page) {
  PageViewDialog dialog(false);
  dialog.setSourceText(page);
  // A test run shows its page from inside the busy check.
  const NormalCursorWhileAsking pointer;
  dialog.exec();
}

bool ShowPageFile(const std::filesystem::path& file) {
  const std::optional<std::string> page = ReadWholeFile(file);
  if (!page) {
    ShowMessage(nullptr, QString::fromUtf8(msg::kTempPageNotOpened), MessageButtons::Ok, MessageIcon::None);
    return false;
  }
  ShowGeneratedPage(*page);
  return true;
}

}  // namespace zepa2::ui
