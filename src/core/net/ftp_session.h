// An FTP site reached through one libcurl handle: log-in set-up shared by every FTP task, and storing a page.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/net/curl_handle.h"

namespace zepa2::net {

struct FtpLogin {
  std::string server;    // "host" or "host:port" (port 21 when left out)
  std::string user;      // passed as it stands, may be empty
  std::string password;  // plain text
};

enum class FtpResult {
  Done,             // the server took the command or the file
  TransferRefused,  // logged in, but the transfer (or the local file) failed
  ConnectFailed,    // bad server text, name not resolved, no connection, or log-in refused
};

// Puts login, port, active mode and time-outs on `handle`. Returns the site's root URL
// ("ftp://host:port/", paths after it are relative to the login folder), or nothing when the
// server text cannot name a host or a login field holds CR, LF or NUL: the caller reports that
// as a failed connection.
std::optional<std::string> PrepareFtpHandle(CURL* handle, const FtpLogin& login);

// The URL of a name on the site, the name passed to the server as it stands ("a/b.html" is sent as
// one STOR argument when the handle uses CURLFTPMETHOD_NOCWD). Every byte that a URL would read
// differently is escaped, so CP932 names and names with spaces or '#' arrive unchanged.
std::string FtpUrlFor(const std::string& rootUrl, const std::string& remoteName);

// Sorts a failed transfer: once the log-in has succeeded, every failure is the transfer's.
FtpResult ClassifyFtpFailure(CURL* handle, CURLcode code);

// One site's connection, set up for the life of the object; libcurl keeps the control connection
// open between calls and closes it (QUIT) when the session goes away.
class FtpSession {
 public:
  static std::optional<FtpSession> Open(const FtpLogin& login);

  // Stores a local file under remoteName with the ASCII type. The type goes as a raw "TYPE A"
  // right before STOR rather than through CURLOPT_TRANSFERTEXT, which would turn every LF of a
  // page that already has CR LF into CR LF again and leave CR CR LF on the server.
  FtpResult StoreAscii(const std::filesystem::path& localFile, const std::string& remoteName);

  CURL* handle() const { return handle_.get(); }
  const std::string& rootUrl() const { return rootUrl_; }

 private:
  FtpSession(CurlEasy handle, std::string rootUrl)
      : handle_(std::move(handle)), rootUrl_(std::move(rootUrl)) {}

  CurlEasy handle_;
  std::string rootUrl_;
};

}  // namespace zepa2::net
