// A site reached through one libcurl handle, one class per kind of transport: log in, store a page, close.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/net/curl_handle.h"
#include "core/net/ftp_list_line.h"
#include "core/net/transfer_limits.h"
#include "core/net/outcome.h"
#include "core/net/transfer_mode.h"

namespace zepa2::net {

struct SiteLogin {
  std::string server;    // "host" or "host:port" (the mode's default port when left out)
  std::string user;      // passed as it stands, may be empty
  std::string password;  // plain text
  TransferMode mode = TransferMode::ActiveFtp;
  std::string pin{};     // "sha256//…" of the server's key (FTP over TLS, SFTP, HTTPS), or empty
  std::string region{};  // the storage region of a mode that signs with one (S3); empty = its default
};

// What one visit to a folder came to. A visit that only proves the folder is there gives
// TransferRefused when the server refuses it (no such folder, no access) and ConnectFailed,
// TimedOut or Cancelled when the connection failed; a listing gives the transfer's outcome.
struct FolderListing {
  Outcome outcome;
  // The folder's absolute wire name after the visit: the server's own (FTP's PWD) or the path
  // asked for without "." and ".."; empty when the server named none.
  std::string folder;
  std::vector<FtpEntry> entries;  // wire names, in the server's order; on a failure those that came
  // The server would have gone on (a repeated continuation token, more pages than kMaxListingPages):
  // the entries are those of the pages read.
  bool cut = false;
};

// The URL of a name under rootUrl, the name passed to the server as it stands ("a/b.html" is sent
// as one STOR argument when the handle uses CURLFTPMETHOD_NOCWD). Every byte that a URL would read
// differently is escaped, so CP932 names and names with spaces or '#' arrive unchanged.
std::string FtpUrlFor(const std::string& rootUrl, const std::string& remoteName);

// One site's connection, set up for the life of the object; libcurl keeps the connection open
// between calls, and it is closed (QUIT) by Close or when the transport goes away. Every step ends
// by the deadline of the limits it was given, QUIT included, and soon after their stop request.
// The subclasses (FTP in its three modes, SFTP, WebDAV, S3) differ in how the handle is set up,
// how they log in and how a name becomes a URL; everything else is here.
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

  // The folder the log-in lands in (wire name), where browsing starts; nothing when the server
  // has none to tell (HTTP has no log-in folder).
  virtual std::optional<std::string> HomeFolder() const;
  // Visits an absolute folder (wire name): lists it when withEntries, else only proves it is there.
  // This one goes through libcurl's FTP and SFTP folder URLs ("LIST -a" and a PWD after it for
  // FTP); a transport that lists with a request of its own (WebDAV, S3) replaces it.
  virtual FolderListing ListFolder(const std::string& absoluteWirePath, bool withEntries);
  // A listing that grows beyond this is broken off as a failed transfer: no folder anyone browses
  // is that large, and a server that keeps sending must not fill the memory.
  static constexpr std::size_t kMaxListingBytes = 16u << 20;
  // A listing asked for page by page (S3) ends after this many pages, cut: 100 000 names at most.
  static constexpr std::size_t kMaxListingPages = 100;

  // Runs one transfer set up on handle() within the transport's limits; the outcome of a failure
  // carries libcurl's reason.
  CURLcode Perform();
  // HTTP transports read the answer's status too: a transfer libcurl finished may have been refused.
  virtual Outcome OutcomeOf(CURLcode code) const;

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
  // Sends the file the handle reads (its data is set; size is -1 when unknown) under wireName the
  // way the mode stores a file: here FTP's and SFTP's STOR, with "TYPE A" first when the row says so.
  virtual CURLcode PerformStore(const std::string& wireName, curl_off_t size);
  // HTTP has no session to end: closing then sends nothing, and the connection goes with the handle.
  void SendNothingOnClose() { goodbyeOnClose_ = false; }
  Outcome Done() const { return {OutcomeKind::Done, {}, true}; }
  void TakeLogIn(bool utf8) {
    loggedIn_ = true;
    utf8_ = utf8;
  }
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
  bool goodbyeOnClose_ = true;
};

// "/a/./b/../c" as "/a/c", for a server that has no current folder to ask (SFTP, HTTP).
std::string WithoutDots(const std::string& absolutePath);

// Sorts a failed transfer: a stop or a deadline first; otherwise, once the log-in has succeeded,
// every failure is the transfer's.
OutcomeKind ClassifyFtpFailure(CURL* handle, CURLcode code, const TransferLimits& limits);

}  // namespace zepa2::net
