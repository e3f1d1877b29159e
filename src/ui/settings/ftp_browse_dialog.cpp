#include "ui/settings/ftp_browse_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QUtf8StringView>
#include <chrono>

#include "core/publish/server_trust.h"
#include "core/text/messages.h"
#include "ui/common/cp932_text.h"
#include "ui/common/dialog_controls.h"
#include "ui/common/message_box.h"
#include "ui/common/off_ui_thread.h"
#include "ui/common/server_key_prompt.h"

namespace zepa2::ui {
namespace {

// One step of the browser (log-in, a folder change, a listing) ends by then whatever the server does.
constexpr std::chrono::seconds kStepDeadline{30};

QFont FormFont(QFont font) {
  font.setPointSize(9);
  return font;
}

// A server without UTF-8 names things in its own encoding: a name that is valid UTF-8 shows as
// UTF-8, any other as CP932. The bytes themselves are kept for the server either way.
QString ServerNameShown(const std::string& bytes) {
  if (QUtf8StringView(bytes.data(), qsizetype(bytes.size())).isValidUtf8()) {
    return QString::fromStdString(bytes);
  }
  return FromCp932(bytes);
}

void Warn(QWidget* parent, const char* text) {
  ShowMessage(parent, QString::fromUtf8(text), MessageButtons::Ok, MessageIcon::Exclamation);
}

}  // namespace

FtpBrowseDialog::FtpBrowseDialog(QWidget* parent)
    : QDialog(parent), directoryEdit_(nullptr), fileNameEdit_(nullptr) {
  setObjectName(QStringLiteral("ftpBrowseDialog"));
  setWindowTitle(QString::fromUtf8(msg::kFtpBrowseTitle));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFont(FormFont(font()));
  const DialogUnits du(font());
  setFixedSize(du.Size(239, 167));

  AddControl<QGroupBox>(this, du, "siteGroup", msg::kFtpBrowseGroup, 7, 4, 225, 100);
  list_ = AddControl<QListWidget>(this, du, "entryList", nullptr, 14, 16, 211, 82);
  AddControl<QLabel>(this, du, "directoryLabel", msg::kDirectoryLabel, 7, 108, 80, 8);
  AddBusyLabel(this, du, 112, 107, 120, 10);
  directoryEdit_ = Cp932Edit(AddControl<QLineEdit>(this, du, "directoryEdit", nullptr, 7, 117, 225, 12));
  AddControl<QLabel>(this, du, "fileNameLabel", msg::kFileNameLabel, 7, 133, 80, 8);
  fileNameEdit_ = Cp932Edit(AddControl<QLineEdit>(this, du, "fileNameEdit", nullptr, 7, 142, 115, 12));
  auto* ok = AddControl<QPushButton>(this, du, "okButton", msg::kFtpBrowseOk, 128, 141, 50, 14);
  auto* cancel = AddControl<QPushButton>(this, du, "cancelButton", msg::kFtpSettingsCancel, 182, 141, 50, 14);
  ok->setDefault(true);

  connect(list_, &QListWidget::itemSelectionChanged, this, &FtpBrowseDialog::OnEntrySelect);
  connect(list_, &QListWidget::itemDoubleClicked, this, &FtpBrowseDialog::OnEntryDoubleClick);
  connect(ok, &QPushButton::clicked, this, &FtpBrowseDialog::OnOK);
  connect(cancel, &QPushButton::clicked, this, &FtpBrowseDialog::OnCancel);
}

FtpBrowseDialog::~FtpBrowseDialog() = default;

int FtpBrowseDialog::exec() {
  // The window is up, busy, before the log-in starts, so the user sees what is waited for.
  QTimer::singleShot(0, this, &FtpBrowseDialog::OnInitDialog);
  return QDialog::exec();
}

void FtpBrowseDialog::OnInitDialog() {
  if (!Connect()) {
    Warn(this, msg::kSiteNotConnected);
    Disconnect();
    return;
  }
  if (!RefreshListing()) {
    Warn(this, msg::kFileListFailed);
    Disconnect();
  }
}

bool FtpBrowseDialog::Connect() {
  net::Outcome failure;
  auto logIn = [&] {
    const net::SiteLogin login{serverName, userName, password, mode, pin, region};
    connection_ = RunOffUiThread<std::optional<net::FtpBrowseSession>>(this, [&](const StopToken& stop) {
      auto session = net::FtpBrowseSession::Connect(login, {&stop, net::SteadyClock::now() + kStepDeadline},
                                                    &failure, uploadFile);
      if (session) session->SetLimits({});  // the stop token lives no longer than this step
      return session;
    });
  };
  AttemptTrustingKey(
      this, FromCp932(serverName), pin,
      [&](const StopToken& stop) {
        return LearnSiteKey(serverName, mode, {&stop, net::SteadyClock::now() + kStepDeadline});
      },
      [&] {
        failure = {};
        logIn();
        return connection_ ? net::KeyTrouble::None : failure.key;
      });
  utf8Names_ = connection_ && connection_->usesUtf8();
  return connection_.has_value();
}

template <typename Result, typename Step>
Result FtpBrowseDialog::OnServer(Step&& step) {
  return RunOffUiThread<Result>(this, [&](const StopToken& stop) {
    connection_->SetLimits({&stop, net::SteadyClock::now() + kStepDeadline});
    Result result = step(*connection_);
    connection_->SetLimits({});
    return result;
  });
}

// Closing sends QUIT and waits for its answer (a few seconds at most on a server gone mute):
// that too happens off the UI thread, and Esc cuts it short.
void FtpBrowseDialog::Disconnect() {
  if (!connection_) return;
  RunStepOffUiThread(
      this,
      [this](const StopToken& stop) {
        connection_->SetLimits({&stop, net::SteadyClock::now() + kStepDeadline});
        connection_.reset();
      },
      msg::kStepDisconnecting);
}

QString FtpBrowseDialog::Shown(const std::string& name) const {
  return utf8Names_ ? FromCp932(name) : ServerNameShown(name);
}

void FtpBrowseDialog::ReadControls() {
  directoryText_ = directoryEdit_.Get();
  fileNameText_ = fileNameEdit_.Get();
}

void FtpBrowseDialog::PushFields() {
  directoryEdit_.Set(directoryText_, Shown(directoryText_));
  fileNameEdit_.Set(fileNameText_, Shown(fileNameText_));
}

bool FtpBrowseDialog::RefreshListing() {
  list_->clear();
  entries_.clear();
  if (!connection_) return false;
  ReadControls();
  net::FtpListing listing =
      OnServer<net::FtpListing>([](net::FtpBrowseSession& site) { return site.ListCurrentDirectory(); });
  directoryText_ = connection_->CurrentDirectory();
  fileNameText_.clear();
  AddParentRow(listing.entries);
  // Every row the server reported, however many; the rows that arrived before a failure stay.
  for (net::FtpEntry& entry : listing.entries) {
    const QString shown = entry.noCp932Form ? QString::fromStdString(entry.name) : Shown(entry.name);
    list_->addItem(entry.isDirectory ? QStringLiteral("[%1]").arg(shown) : shown);
    entries_.push_back(std::move(entry));
  }
  // Below the rows, greyed and not to be picked: what the listing did not show.
  const auto note = [this](const QString& text) {
    auto* item = new QListWidgetItem(text, list_);
    item->setFlags(Qt::NoItemFlags);
  };
  if (listing.cut) note(QString::fromUtf8(msg::kListingCut));
  if (listing.leftOut > 0) note(QString::fromUtf8(msg::kNamesLeftOut).arg(listing.leftOut));
  PushFields();
  return listing.kind == net::OutcomeKind::Done;
}

// Servers that list no ".." would leave the user no way up but typing a path.
void FtpBrowseDialog::AddParentRow(std::vector<net::FtpEntry>& entries) const {
  if (directoryText_.empty() || directoryText_ == "/") return;
  for (const net::FtpEntry& entry : entries) {
    if (entry.isDirectory && entry.name == "..") return;
  }
  const bool dotFirst = !entries.empty() && entries.front().isDirectory && entries.front().name == ".";
  entries.insert(entries.begin() + (dotFirst ? 1 : 0), net::FtpEntry{"..", true});
}

// A name CP932 cannot hold could be neither stored in the settings nor sent back as it was.
bool FtpBrowseDialog::RefuseUnusableRow(int row) {
  if (!entries_[row].noCp932Form) return false;
  ShowMessage(this, QString::fromUtf8(msg::kNameNotUsable).arg(QString::fromStdString(entries_[row].name)),
              MessageButtons::Ok, MessageIcon::Exclamation);
  return true;
}

void FtpBrowseDialog::OnEntrySelect() {
  ReadControls();
  const int row = list_->currentRow();
  if (row < 0 || row >= int(entries_.size()) || !list_->currentItem()->isSelected()) return;
  if (!entries_[row].isDirectory && !RefuseUnusableRow(row)) {
    fileNameText_ = entries_[row].name;
    PushFields();
  }
}

void FtpBrowseDialog::OnEntryDoubleClick() {
  ReadControls();
  const int row = list_->currentRow();
  if (row < 0 || row >= int(entries_.size())) return;
  if (!entries_[row].isDirectory) {
    if (RefuseUnusableRow(row)) return;
    fileNameText_ = entries_[row].name;
    PushFields();
    return;
  }
  if (connection_ && !RefuseUnusableRow(row)) ChangeIntoRow(row);
}

void FtpBrowseDialog::ChangeIntoRow(int row) {
  const std::string current = connection_->CurrentDirectory();
  if (current.empty()) {
    Warn(this, msg::kCurrentDirectoryUnknown);
    return;
  }
  const std::string target = current + "/" + entries_[row].name;
  const net::OutcomeKind changed = OnServer<net::OutcomeKind>(
      [&target](net::FtpBrowseSession& site) { return site.ChangeDirectory(target); });
  if (changed != net::OutcomeKind::Done) {
    Warn(this, msg::kCurrentDirectoryNotChanged);
    return;
  }
  PushFields();
  RefreshListing();
}

void FtpBrowseDialog::OnOK() {
  ReadControls();
  if (fileNameText_.empty()) {
    Warn(this, msg::kEnterFileName);
    return;
  }
  resultPath = directoryText_ + "/" + fileNameText_;
  Disconnect();
  QDialog::accept();
}

void FtpBrowseDialog::OnCancel() {
  Disconnect();
  QDialog::reject();
}

}  // namespace zepa2::ui
