// An FTP site reached through one libcurl handle: log-in set-up shared by every FTP task, and storing a page.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "core/net/curl_handle.h"
#include "core/net/transfer_limits.h"
#include "core/net/transfer_mode.h"

namespace zepa2::net {

struct FtpLogin {
  std::string server;    // "host" or "host:port" (port 21 when left out)
  std::string user;      // passed as it stands, may be empty
  std::string password;  // plain text
  TransferMode mode = TransferMode::ActiveFtp;
  std::string pin{};     // "sha256//…" of the server's key (FTP over TLS, SFTP), or empty
};

enum class FtpResult {
  Done,             // the server took the command or the file
  TransferRefused,  // logged in, but the transfer (or the local file) failed
  ConnectFailed,    // bad server text, name not resolved, no connection, or log-in refused
  TimedOut,         // the server stopped answering, or the session's deadline passed
  Cancelled,        // the run was asked to stop
};

// A step's result with libcurl's own words for a failure (empty when it went well).
struct FtpOutcome {
  FtpResult result = FtpResult::ConnectFailed;
  std::string reason;
  bool loggedIn = false;  // whether the server had taken the log-in when the step failed
  KeyTrouble key = KeyTrouble::None;  // a server refused for its key, before any password went
};

// Time-outs and stop requests read as the failure the user knows from a dead server: the browser
// and the upload test report them as a failed connection.
inline FtpResult AsThreeWayResult(FtpResult result) {
  return result == FtpResult::TimedOut || result == FtpResult::Cancelled ? FtpResult::ConnectFailed
                                                                          : result;
}

// Puts login, port, the transfer mode with its trust settings and time-outs on `handle`. Returns
// the site's root URL ("ftp://host:port/" or "sftp://host:port/~/", paths after it are relative to
// the login folder), or nothing when the server text cannot name a host or a login field holds CR,
// LF or NUL: the caller reports that as a failed connection. With a pin, the pin alone decides
// whether the server is trusted; without one, TLS is verified against the system's certificate
// store and the host name, and SFTP is refused (see FtpSession::Perform).
std::optional<std::string> PrepareFtpHandle(CURL* handle, const FtpLogin& login);

// The URL of a name on the site, the name passed to the server as it stands ("a/b.html" is sent as
// one STOR argument when the handle uses CURLFTPMETHOD_NOCWD). Every byte that a URL would read
// differently is escaped, so CP932 names and names with spaces or '#' arrive unchanged.
std::string FtpUrlFor(const std::string& rootUrl, const std::string& remoteName);

// Sorts a failed transfer: a stop or a deadline first; otherwise, once the log-in has succeeded,
// every failure is the transfer's.
FtpResult ClassifyFtpFailure(CURL* handle, CURLcode code, const TransferLimits& limits);

// One site's connection, set up for the life of the object; libcurl keeps the control connection
// open between calls and closes it (QUIT) when the session goes away. Every step ends by the
// deadline of the limits it was given, QUIT included, and soon after their stop request.
class FtpSession {
 public:
  static std::optional<FtpSession> Open(const FtpLogin& login, TransferLimits limits = {});
  FtpSession(FtpSession&&) = default;
  FtpSession& operator=(FtpSession&&) = default;
  ~FtpSession();

  // Logs in (once: later calls return at once) and, when the server's FEAT lists UTF8, switches
  // it to UTF-8 names (OPTS UTF8 ON). Every step below logs in first.
  FtpOutcome LogIn();
  // Whether names go over the wire as UTF-8; known after LogIn.
  bool usesUtf8() const { return utf8_; }
  // A name of the program (CP932) as the server spells it, and back. A server without UTF-8
  // gets and gives the bytes as they stand. Back gives nothing for a UTF-8 name with no CP932 form.
  std::string WireName(const std::string& cp932Name) const;
  std::optional<std::string> LocalName(const std::string& wireName) const;

  // Stores a local file under remoteName (CP932) with the ASCII type. The type goes as a raw
  // "TYPE A" right before STOR rather than through CURLOPT_TRANSFERTEXT, which would turn every LF
  // of a page that already has CR LF into CR LF again and leave CR CR LF on the server. SFTP has
  // no type: the file goes as it is. The log-in comes first, so a dead server or a refused log-in
  // is reported as such whatever the file.
  FtpOutcome StoreAscii(const std::filesystem::path& localFile, const std::string& remoteName);

  // Runs one transfer set up on handle() within the session's limits; the outcome of a failure
  // carries libcurl's reason. An SFTP server without a pin is refused here, before it is reached.
  CURLcode Perform();
  FtpOutcome OutcomeOf(CURLcode code) const;

  // A new deadline for the steps to come (a browser's session lives for many of them).
  void SetLimits(TransferLimits limits) { *limits_ = limits; }
  const TransferLimits& limits() const { return *limits_; }

  CURL* handle() const { return handle_.get(); }
  const std::string& rootUrl() const { return rootUrl_; }
  TransferMode mode() const { return mode_; }
  // The URL of a wire name: relative to the login folder, or from the server's root when it begins
  // with '/'. Every byte a URL would read differently is escaped.
  std::string UrlFor(const std::string& wireName) const;

 private:
  FtpSession(CurlEasy handle, std::string rootUrl, TransferLimits limits, const FtpLogin& login);
  // A step that only sends command (and logs in first when the connection is new).
  CURLcode PerformCommands(const char* command);

  CurlEasy handle_;
  std::string rootUrl_;
  // On the heap so that the addresses libcurl holds survive a move of the session.
  std::unique_ptr<TransferLimits> limits_;
  std::unique_ptr<CurlErrorBuffer> errors_;
  bool loggedIn_ = false;
  bool utf8_ = false;
  TransferMode mode_ = TransferMode::ActiveFtp;
  bool pinned_ = false;
};

}  // namespace zepa2::net
