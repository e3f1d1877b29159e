// Walks the folders of one FTP site to choose the remote path under which a page is uploaded.
#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "core/net/ftp_browse_session.h"
#include "ui/common/cp932_text.h"

class QListWidget;

namespace zepa2::ui {

// Connects once it is on screen and keeps that one connection until it closes; every network step
// runs off the UI thread and Esc stops it. Folders show as "[name]", files bare, in the server's
// order, with "[..]" below the root even when the server lists none. After a failure at opening
// it still works as a plain form: a typed folder and name give a result.
class FtpBrowseDialog : public QDialog {
  Q_OBJECT

 public:
  explicit FtpBrowseDialog(QWidget* parent = nullptr);
  ~FtpBrowseDialog() override;

  // Connects and lists; exec() runs it first. Failures are shown and leave the form usable.
  void OnInitDialog();
  int exec() override;

  // Set by the caller before the run (CP932).
  std::string serverName;
  std::string userName;
  std::string password;
  net::TransferMode mode = net::TransferMode::ActiveFtp;  // the site's transfer mode
  std::string pin;         // the site's pinned key; a key the user trusts here lands in it
  std::string region;      // the site's storage region (S3)
  std::string uploadFile;  // the site's page: a server with no log-in folder (HTTP) is browsed beside it
  // After OK: the folder, "/", and the file name, joined as they stand.
  std::string resultPath;

  bool Connect();
  void Disconnect();
  bool RefreshListing();
  void OnEntrySelect();
  void OnEntryDoubleClick();
  void OnOK();
  void OnCancel();
  void reject() override { OnCancel(); }

 private:
  void ReadControls();
  void PushFields();
  void ChangeIntoRow(int row);
  void AddParentRow(std::vector<net::FtpEntry>& entries) const;
  bool RefuseUnusableRow(int row);
  QString Shown(const std::string& name) const;
  // Runs step on the connection off the UI thread, within a step's deadline; Esc stops it.
  template <typename Result, typename Step>
  Result OnServer(Step&& step);

  std::optional<net::FtpBrowseSession> connection_;
  bool utf8Names_ = false;              // the server names things in UTF-8; the names here are CP932
  std::vector<net::FtpEntry> entries_;  // one per list row
  std::string directoryText_;
  std::string fileNameText_;
  QListWidget* list_;
  Cp932Edit directoryEdit_;
  Cp932Edit fileNameEdit_;
};

}  // namespace zepa2::ui
