#include "core/net/ftp_session.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "core/net/protocol_text.h"
#include "core/net/server_address.h"
#include "core/net/server_key.h"
#include "core/text/cp932.h"

namespace zepa2::net {
namespace {

constexpr int kDefaultFtpPort = 21;
constexpr int kDefaultSftpPort = 22;
// "/~/" is the login folder in libcurl's SFTP URLs, as the bare "/" is in its FTP URLs.
constexpr std::string_view kSftpHome = "/~/";
constexpr long kConnectTimeoutSeconds = 10;
// Without a deadline of the caller's, a step still ends: no answer within this long is a dead server.
constexpr long kWholeTransferTimeoutSeconds = 60;
// The longest wait for any one answer of the server, QUIT's included: libcurl would wait two
// minutes, and a site that took the file and then hangs must not hold the run that long.
constexpr long kAnswerSeconds = 10;
// Closing takes at most this long (QUIT and its answer), and a second when the run was stopped.
constexpr long kClosingMilliseconds = 3000;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

struct CurlUrlDeleter {
  void operator()(CURLU* u) const { curl_url_cleanup(u); }
};

bool IsUrlSafe(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~' || c == '/';
}

bool ParsesAsUrl(const std::string& url) {
  std::unique_ptr<CURLU, CurlUrlDeleter> parsed(curl_url());
  return parsed && curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) == CURLUE_OK;
}

// Failures that can only come after a successful log-in.
bool IsTransferFailure(CURLcode code) {
  switch (code) {
    case CURLE_UPLOAD_FAILED:
    case CURLE_REMOTE_ACCESS_DENIED:
    case CURLE_REMOTE_FILE_NOT_FOUND:
    case CURLE_REMOTE_DISK_FULL:
    case CURLE_QUOTE_ERROR:
    case CURLE_FTP_PORT_FAILED:
    case CURLE_FTP_ACCEPT_FAILED:
    case CURLE_FTP_COULDNT_SET_TYPE:
    case CURLE_READ_ERROR:
    case CURLE_URL_MALFORMAT:  // the server text was checked before; only the remote name is left
      return true;
    default:
      return false;
  }
}

// Reads the FEAT answer for the UTF8 line (RFC 2640); every server line passes through here.
size_t NoteUtf8Feature(char* data, size_t size, size_t count, void* utf8) {
  std::string_view line(data, size * count);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) {
    line.remove_suffix(1);
  }
  while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
  if (line.size() == 4 && (line[0] | 0x20) == 'u' && (line[1] | 0x20) == 't' &&
      (line[2] | 0x20) == 'f' && line[3] == '8') {
    *static_cast<bool*>(utf8) = true;
  }
  return size * count;
}

}  // namespace

std::optional<std::string> PrepareFtpHandle(CURL* handle, const FtpLogin& login) {
  if (UnsafeFtpSiteField(login.server, login.user, login.password, {})) return std::nullopt;
  const bool sftp = login.mode == TransferMode::Sftp;
  const auto address = ParseServerAddress(login.server, sftp ? kDefaultSftpPort : kDefaultFtpPort);
  if (!address) return std::nullopt;
  std::string root = (sftp ? "sftp://" : "ftp://") + address->host + ":" +
                     std::to_string(address->port) + (sftp ? std::string(kSftpHome) : "/");
  if (!ParsesAsUrl(root)) return std::nullopt;

  curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, sftp ? "sftp" : "ftp");
  curl_easy_setopt(handle, CURLOPT_USERNAME, login.user.c_str());
  curl_easy_setopt(handle, CURLOPT_PASSWORD, login.password.c_str());
  const bool pinned = !login.pin.empty();
  switch (login.mode) {
    case TransferMode::ActiveFtp:
      curl_easy_setopt(handle, CURLOPT_FTPPORT, "-");  // from the control connection's address
      break;
    case TransferMode::PassiveFtp:
      break;  // libcurl's own way: EPSV, then PASV
    case TransferMode::FtpTls:
      // AUTH TLS comes before USER: a server that fails the check never sees the log-in.
      curl_easy_setopt(handle, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
      curl_easy_setopt(handle, CURLOPT_FTPSSLAUTH, static_cast<long>(CURLFTPAUTH_TLS));
      if (pinned) {
        // The pin alone decides: a self-signed certificate or another host name is fine.
        curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 0L);
        curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 0L);
        curl_easy_setopt(handle, CURLOPT_PINNEDPUBLICKEY, login.pin.c_str());
      }
      break;
    case TransferMode::Sftp:
      curl_easy_setopt(handle, CURLOPT_SSH_AUTH_TYPES,
                       static_cast<long>(CURLSSH_AUTH_PASSWORD | CURLSSH_AUTH_KEYBOARD));
      if (pinned && login.pin.starts_with(kPinPrefix)) {
        curl_easy_setopt(handle, CURLOPT_SSH_HOST_PUBLIC_KEY_SHA256,
                         login.pin.substr(kPinPrefix.size()).c_str());
      }
      break;
  }
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
  curl_easy_setopt(handle, CURLOPT_TIMEOUT, kWholeTransferTimeoutSeconds);
  curl_easy_setopt(handle, CURLOPT_ACCEPTTIMEOUT_MS, kConnectTimeoutSeconds * 1000);
  curl_easy_setopt(handle, CURLOPT_SERVER_RESPONSE_TIMEOUT, kAnswerSeconds);
  return root;
}

std::string FtpUrlFor(const std::string& rootUrl, const std::string& remoteName) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string url = rootUrl;
  for (unsigned char c : remoteName) {
    if (IsUrlSafe(c)) {
      url += static_cast<char>(c);
    } else {
      url += '%';
      url += kHex[c >> 4];
      url += kHex[c & 0x0F];
    }
  }
  return url;
}

FtpResult ClassifyFtpFailure(CURL* handle, CURLcode code, const TransferLimits& limits) {
  if (limits.stopRequested()) return FtpResult::Cancelled;
  if (code == CURLE_OPERATION_TIMEDOUT || code == CURLE_FTP_ACCEPT_TIMEOUT ||
      (code == CURLE_ABORTED_BY_CALLBACK && limits.deadlinePassed())) {
    return FtpResult::TimedOut;
  }
  const char* entryPath = nullptr;
  curl_easy_getinfo(handle, CURLINFO_FTP_ENTRY_PATH, &entryPath);
  if (entryPath != nullptr || IsTransferFailure(code)) return FtpResult::TransferRefused;
  return FtpResult::ConnectFailed;
}

FtpSession::FtpSession(CurlEasy handle, std::string rootUrl, TransferLimits limits,
                       const FtpLogin& login)
    : handle_(std::move(handle)),
      rootUrl_(std::move(rootUrl)),
      limits_(std::make_unique<TransferLimits>(limits)),
      errors_(std::make_unique<CurlErrorBuffer>()),
      mode_(login.mode),
      pinned_(!login.pin.empty()) {
  ApplyTransferLimits(handle_.get(), limits_.get());
  curl_easy_setopt(handle_.get(), CURLOPT_ERRORBUFFER, errors_->text.data());
}

// libcurl sends QUIT for a connection it still holds when the handle is cleaned up, but then on a
// handle of its own that knows none of our time-outs: a mute server would hold that for two
// minutes. So the session closes the connection itself, through one last request on this handle
// that may not keep it (nothing new is sent but QUIT), under the session's limits.
FtpSession::~FtpSession() {
  if (!handle_) return;  // moved from
  CURL* h = handle_.get();
  curl_socket_t live = CURL_SOCKET_BAD;
  if (curl_easy_getinfo(h, CURLINFO_ACTIVESOCKET, &live) != CURLE_OK || live == CURL_SOCKET_BAD) {
    return;  // nothing open: cleaning up sends nothing
  }
  const long closing = limits_->stopRequested() ? 1000 : kClosingMilliseconds;
  curl_easy_setopt(h, CURLOPT_URL, rootUrl_.c_str());
  curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
  curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L);
  curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, closing);
  curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, std::max(1L, closing / 1000));
  *limits_ = TransferLimits{limits_->stop, SteadyClock::now() + std::chrono::milliseconds(closing)};
  curl_easy_perform(h);
}

std::optional<FtpSession> FtpSession::Open(const FtpLogin& login, TransferLimits limits) {
  CurlEasy handle = MakeEasyHandle();
  if (!handle) return std::nullopt;
  auto root = PrepareFtpHandle(handle.get(), login);
  if (!root) return std::nullopt;
  // A pin that is no pin would leave the server unchecked; it is refused like a changed key.
  if (!login.pin.empty() && !IsPinText(login.pin)) return std::nullopt;
  return FtpSession(std::move(handle), std::move(*root), limits, login);
}

CURLcode FtpSession::Perform() {
  CURL* h = handle_.get();
  errors_->Clear();
  if (limits_->stopRequested()) return CURLE_ABORTED_BY_CALLBACK;
  // libcurl would take any host key when none is given; SSH has no store to check one against.
  if (mode_ == TransferMode::Sftp && !pinned_) {
    std::snprintf(errors_->text.data(), errors_->text.size(), "%s",
                  "the SFTP server's host key is not pinned (trust it in the FTP settings' "
                  "upload test or with zepa2-check --trust)");
    return CURLE_PEER_FAILED_VERIFICATION;
  }
  if (limits_->deadline != SteadyClock::time_point::max()) {
    // Whatever the step, it ends by the deadline, leaving closing its own short wait.
    const long left = limits_->RemainingMilliseconds() - kClosingMilliseconds;
    if (left <= 0) return CURLE_OPERATION_TIMEDOUT;
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, std::min(left, kWholeTransferTimeoutSeconds * 1000));
  }
  return curl_easy_perform(h);
}

FtpOutcome FtpSession::OutcomeOf(CURLcode code) const {
  if (code == CURLE_OK) return {FtpResult::Done, {}, true};
  if (const KeyTrouble key = HasServerKey(mode_) ? KeyTroubleOf(code, pinned_) : KeyTrouble::None;
      key != KeyTrouble::None) {
    std::string reason = CurlReason(code, errors_->text.data());
    if (key == KeyTrouble::Changed) reason = "the server's key changed: " + reason;
    return {FtpResult::ConnectFailed, std::move(reason), false, key};
  }
  // A connection that failed late is gone with its entry path; reaching the transfer proves the
  // log-in all the same.
  const char* entryPath = nullptr;
  curl_easy_getinfo(handle_.get(), CURLINFO_FTP_ENTRY_PATH, &entryPath);
  curl_off_t pretransfer = 0;
  curl_easy_getinfo(handle_.get(), CURLINFO_PRETRANSFER_TIME_T, &pretransfer);
  return {ClassifyFtpFailure(handle_.get(), code, *limits_), CurlReason(code, errors_->text.data()),
          entryPath != nullptr || pretransfer > 0};
}

CURLcode FtpSession::PerformCommands(const char* command) {
  CurlSlist quote;
  AppendTo(quote, command);
  CURL* h = handle_.get();
  curl_easy_setopt(h, CURLOPT_URL, rootUrl_.c_str());
  curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
  curl_easy_setopt(h, CURLOPT_QUOTE, quote.get());
  const CURLcode code = Perform();
  curl_easy_setopt(h, CURLOPT_QUOTE, nullptr);
  curl_easy_setopt(h, CURLOPT_NOBODY, 0L);
  return code;
}

FtpOutcome FtpSession::LogIn() {
  if (loggedIn_) return {FtpResult::Done, {}, true};
  CURL* h = handle_.get();
  if (mode_ == TransferMode::Sftp) {
    // Connecting, checking the host key and the password: nothing else is sent. Names on an SSH
    // server are the bytes of its file system, UTF-8 on every system that runs one today.
    curl_easy_setopt(h, CURLOPT_URL, rootUrl_.c_str());
    curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
    const CURLcode code = Perform();
    curl_easy_setopt(h, CURLOPT_NOBODY, 0L);
    if (code != CURLE_OK) return OutcomeOf(code);
    loggedIn_ = utf8_ = true;
    return {FtpResult::Done, {}, true};
  }
  bool utf8 = false;
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &NoteUtf8Feature);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, &utf8);
  // '*': a server that knows no FEAT is simply one without UTF-8, not a failed log-in.
  CURLcode code = PerformCommands("*FEAT");
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, nullptr);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, nullptr);
  // Some servers speak UTF-8 from the start and refuse the switch; they are UTF-8 all the same.
  if (code == CURLE_OK && utf8) code = PerformCommands("*OPTS UTF8 ON");
  if (code != CURLE_OK) return OutcomeOf(code);
  loggedIn_ = true;
  utf8_ = utf8;
  return {FtpResult::Done, {}, true};
}

std::string FtpSession::UrlFor(const std::string& wireName) const {
  if (mode_ != TransferMode::Sftp || !wireName.starts_with('/')) return FtpUrlFor(rootUrl_, wireName);
  return FtpUrlFor(rootUrl_.substr(0, rootUrl_.size() - kSftpHome.size()), wireName);
}

std::string FtpSession::WireName(const std::string& cp932Name) const {
  return utf8_ ? Cp932ToUtf8(cp932Name) : cp932Name;
}

std::optional<std::string> FtpSession::LocalName(const std::string& wireName) const {
  return utf8_ ? Utf8ToCp932Exactly(wireName) : std::optional<std::string>(wireName);
}

FtpOutcome FtpSession::StoreAscii(const std::filesystem::path& localFile,
                                  const std::string& remoteName) {
  if (!IsProtocolText(remoteName)) {
    return {FtpResult::TransferRefused, "a line break or NUL in the remote name", true};
  }
  if (FtpOutcome login = LogIn(); login.result != FtpResult::Done) return login;
  FilePtr file(std::fopen(localFile.c_str(), "rb"));
  // A folder opens too but reads as nothing; storing that would report an empty upload as done.
  std::error_code ec;
  if (!file || std::filesystem::is_directory(localFile, ec)) {
    return {FtpResult::TransferRefused, "the local file cannot be read", true};
  }
  const auto size = std::filesystem::file_size(localFile, ec);

  CurlSlist typeAscii;
  if (mode_ != TransferMode::Sftp) AppendTo(typeAscii, "TYPE A");
  CURL* h = handle_.get();
  curl_easy_setopt(h, CURLOPT_URL, UrlFor(WireName(remoteName)).c_str());
  curl_easy_setopt(h, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
  curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(h, CURLOPT_TRANSFERTEXT, 0L);
  curl_easy_setopt(h, CURLOPT_PREQUOTE, typeAscii.get());
  curl_easy_setopt(h, CURLOPT_READDATA, file.get());
  curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, ec ? curl_off_t{-1} : static_cast<curl_off_t>(size));

  const CURLcode code = Perform();
  // The list and the file die with this call; the handle must not point at them afterwards.
  curl_easy_setopt(h, CURLOPT_PREQUOTE, nullptr);
  curl_easy_setopt(h, CURLOPT_READDATA, nullptr);
  curl_easy_setopt(h, CURLOPT_UPLOAD, 0L);
  return OutcomeOf(code);
}

}  // namespace zepa2::net
