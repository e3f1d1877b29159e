// Walks the folders of one site over the one connection of its transport, to choose an upload name.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include <memory>

#include "core/net/ftp_list_line.h"

#include "core/net/transport.h"

namespace zepa2::net {

struct FtpListing {
  OutcomeKind kind = OutcomeKind::ConnectFailed;
  std::vector<FtpEntry> entries;  // on a failure, the entries that arrived before it
  bool cut = false;               // the server would have gone on; these are the pages read
  std::size_t leftOut = 0;        // names not offered: a control byte, a '/', or a file "." or ".."
};

// Whether a listed name can be offered at all: one holding a control byte or a '/' would name
// another path or forge text wherever it is shown, and a file "." or ".." is no file. A folder
// ".." stays, as the way up.
bool IsOfferableEntry(const FtpEntry& entry);

// The client keeps an absolute current folder and names it in every URL ("%2F" + path, one CWD),
// so libcurl always knows where the connection stands. The folder's name is the server's own, from
// a PWD sent after each command: "/a/b/.." becomes whatever the server says it is. Over SFTP the
// URL names the folder itself and "/a/b/.." is "/a"; so it is over HTTP (WebDAV, S3), where the
// transport lists with a request of its own.
class FtpBrowseSession {
 public:
  // Logs in and learns the folder the log-in lands in. Nothing when the server text is bad, nobody
  // answers or the log-in is refused.
  // limits: what ends the log-in early (a stop request, a deadline). failure, when given, gets
  // what went wrong (a server refused for its key among others). startFile (CP932, from the
  // server's root): the site's page, beside which browsing starts on a server with no log-in
  // folder (HTTP); a server with one starts there.
  static std::optional<FtpBrowseSession> Connect(const SiteLogin& login, TransferLimits limits = {},
                                                 Outcome* failure = nullptr,
                                                 const std::string& startFile = {});

  // The stop request and deadline for the steps to come.
  void SetLimits(TransferLimits limits) { session_->SetLimits(limits); }

  // Folders and names here are the program's (CP932); a UTF-8 server gets them converted.
  const std::string& CurrentDirectory() const { return currentDirectory_; }
  bool usesUtf8() const { return session_->usesUtf8(); }

  // Goes to an absolute folder. Done: the current folder is now the server's name for it;
  // TransferRefused: the server refused the CWD, nothing changed; ConnectFailed, TimedOut,
  // Cancelled: the connection failed or was stopped, nothing changed.
  OutcomeKind ChangeDirectory(const std::string& target);

  // Lists the current folder with "LIST -a", so that servers which report "." and ".." only when
  // asked do report them; entries come in the server's order and nothing is added; names that
  // cannot be offered are left out and counted. A UTF-8 server's names come as CP932, those
  // without a CP932 form marked.
  FtpListing ListCurrentDirectory();

  static constexpr std::size_t kMaxListingBytes = Transport::kMaxListingBytes;

 private:
  FtpBrowseSession(std::unique_ptr<Transport> session, std::string entryPath)
      : session_(std::move(session)), currentDirectory_(std::move(entryPath)) {}
  std::string LocalDirectory(const std::string& wireName) const;

  std::unique_ptr<Transport> session_;
  std::string currentDirectory_;
};

}  // namespace zepa2::net
