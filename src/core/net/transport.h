// A site reached through one libcurl handle, one class per kind of transport: log in, store a page, close.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "core/net/curl_handle.h"
#include "core/net/transfer_limits.h"
#include "core/net/outcome.h"
#include "core/net/transfer_mode.h"

namespace zepa2::net {

struct SiteLogin {
  std::string server;    // "host" or "host:port" (the mode's default port when left out)
  std::string user;      // passed as it stands, may be empty
  std::string password;  // plain text
  TransferMode mode = TransferMode::ActiveFtp;
  std::string pin{};     // "sha256//…" of the server's key (FTP over TLS, SFTP), or empty
};

// The URL of a name under rootUrl, the name passed to the server as it stands ("a/b.html" is sent
// as one STOR argument when the handle uses CURLFTPMETHOD_NOCWD). Every byte that a URL would read
// differently is escaped, so CP932 names and names with spaces or '#' arrive unchanged.
std::string FtpUrlFor(const std::string& rootUrl, const std::string& remoteName);

// One site's connection, set up for the life of the object; libcurl keeps the connection open
// between calls, and it is closed (QUIT) by Close or when the transport goes away. Every step ends
// by the deadline of the limits it was given, QUIT included, and soon after their stop request.
// The subclasses (FTP in its three modes, SFTP) differ in how the handle is set up, how they log
// in and how a name becomes a URL; everything else is here.
class Transport {
 public:
  // The transport of the login's mode, set up on a fresh handle; nothing when the server text
  // cannot name a host, a login field holds CR, LF or NUL, or the pin is no pin: the caller reports
  // that as a failed connection.
  static std::unique_ptr<Transport> Open(const SiteLogin& login, TransferLimits limits = {});
  virtual ~Transport();
  Transport(const Transport&) = delete;
  Transport& operator=(const Transport&) = delete;

  // Logs in (once: later calls return at once). Every step below logs in first.
  virtual Outcome LogIn() = 0;
  // Stores a local file under remoteName (CP932) as the mode's row says: FTP with the ASCII type,
  // sent as a raw "TYPE A" right before STOR rather than through CURLOPT_TRANSFERTEXT, which would
  // turn every LF of a page that already has CR LF into CR LF again; SFTP as it is. The log-in
  // comes first, so a dead server or a refused log-in is reported as such whatever the file.
  Outcome Store(const std::filesystem::path& localFile, const std::string& remoteName);
  // Ends the connection now (QUIT under the limits); later steps would connect again.
  void Close();

  // Whether names go over the wire as UTF-8; known after LogIn.
  bool usesUtf8() const { return utf8_; }
  // A name of the program (CP932) as the server spells it, and back. A server without UTF-8
  // gets and gives the bytes as they stand. Back gives nothing for a UTF-8 name with no CP932 form.
  std::string WireName(const std::string& cp932Name) const;
  std::optional<std::string> LocalName(const std::string& wireName) const;
  // The URL of a wire name: relative to the login folder, or from the server's root when it begins
  // with '/'. Every byte a URL would read differently is escaped.
  virtual std::string UrlFor(const std::string& wireName) const = 0;
  // The URL of an absolute folder, for listing it.
  virtual std::string FolderUrl(const std::string& absoluteWirePath) const = 0;
  // Whether the server names the folder it moved to (FTP's PWD); otherwise the client keeps it.
  virtual bool serverNamesFolders() const = 0;

  // Runs one transfer set up on handle() within the transport's limits; the outcome of a failure
  // carries libcurl's reason.
  CURLcode Perform();
  Outcome OutcomeOf(CURLcode code) const;

  // A new deadline for the steps to come (a browser's session lives for many of them).
  void SetLimits(TransferLimits limits) { *limits_ = limits; }
  const TransferLimits& limits() const { return *limits_; }

  CURL* handle() const { return handle_.get(); }
  const std::string& rootUrl() const { return rootUrl_; }
  const TransferModeRow& row() const { return row_; }

 protected:
  Transport(CurlEasy handle, std::string rootUrl, TransferLimits limits, const SiteLogin& login);
  // Refuses what must not be reached at all (an SSH server with no pinned key); else CURLE_OK.
  virtual CURLcode Refusal() const { return CURLE_OK; }
  Outcome Done() const { return {OutcomeKind::Done, {}, true}; }
  void TakeLogIn(bool utf8) { loggedIn_ = true; utf8_ = utf8; }
  bool loggedIn() const { return loggedIn_; }
  bool pinned() const { return pinned_; }
  CurlErrorBuffer& errors() const { return *errors_; }

 private:
  CurlEasy handle_;
  std::string rootUrl_;
  // On the heap so that the addresses libcurl holds stay put.
  std::unique_ptr<TransferLimits> limits_;
  std::unique_ptr<CurlErrorBuffer> errors_;
  const TransferModeRow& row_;
  bool loggedIn_ = false;
  bool utf8_ = false;
  bool pinned_ = false;
};

// Sorts a failed transfer: a stop or a deadline first; otherwise, once the log-in has succeeded,
// every failure is the transfer's.
OutcomeKind ClassifyFtpFailure(CURL* handle, CURLcode code, const TransferLimits& limits);

}  // namespace zepa2::net
