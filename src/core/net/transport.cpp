#include "core/net/transport.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "core/net/ftp_transport.h"
#include "core/net/perform_transfer.h"
#include "core/net/s3_transport.h"
#include "core/net/protocol_text.h"
#include "core/net/server_key.h"
#include "core/net/sftp_transport.h"
#include "core/net/webdav_transport.h"
#include "core/text/cp932.h"
#include "core/text/hex_escape.h"

namespace zepa2::net {
namespace {

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
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~' || c == '/';
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

// What every transport puts on its handle: the log-in and the time-outs.
void SetCommonOptions(CURL* handle, const SiteLogin& login, std::string_view scheme) {
  curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, std::string(scheme).c_str());
  curl_easy_setopt(handle, CURLOPT_USERNAME, login.user.c_str());
  curl_easy_setopt(handle, CURLOPT_PASSWORD, login.password.c_str());
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
  curl_easy_setopt(handle, CURLOPT_TIMEOUT, kWholeTransferTimeoutSeconds);
  curl_easy_setopt(handle, CURLOPT_ACCEPTTIMEOUT_MS, kConnectTimeoutSeconds * 1000);
  curl_easy_setopt(handle, CURLOPT_SERVER_RESPONSE_TIMEOUT, kAnswerSeconds);
}

}  // namespace

std::string FtpUrlFor(const std::string& rootUrl, const std::string& remoteName) {
  return rootUrl + HexEscaped(remoteName, "%", HexCase::Upper, [](unsigned char c) { return !IsUrlSafe(c); });
}

OutcomeKind ClassifyFtpFailure(CURL* handle, CURLcode code, const TransferLimits& limits) {
  if (limits.stopRequested()) return OutcomeKind::Cancelled;
  if (code == CURLE_OPERATION_TIMEDOUT || code == CURLE_FTP_ACCEPT_TIMEOUT ||
      (code == CURLE_ABORTED_BY_CALLBACK && limits.deadlinePassed())) {
    return OutcomeKind::TimedOut;
  }
  const char* entryPath = nullptr;
  curl_easy_getinfo(handle, CURLINFO_FTP_ENTRY_PATH, &entryPath);
  if (entryPath != nullptr || IsTransferFailure(code)) return OutcomeKind::TransferRefused;
  return OutcomeKind::ConnectFailed;
}

std::unique_ptr<Transport> Transport::Open(const SiteLogin& login, TransferLimits limits) {
  for (const std::string& text : {login.server, login.user, login.password}) {
    if (!IsProtocolText(text)) return nullptr;
  }
  // A pin that is no pin would leave the server unchecked; it is refused like a changed key.
  if (!login.pin.empty() && !IsPinText(login.pin)) return nullptr;
  const TransferModeRow& row = RowOf(login.mode);
  const auto site = ParseSiteServer(row, login.server);
  if (!site) return nullptr;
  CurlEasy handle = MakeEasyHandle();
  if (!handle) return nullptr;
  const std::string hostRoot = site->scheme + "://" + site->host + ":" + std::to_string(site->port);
  SetCommonOptions(handle.get(), login, site->scheme);
  std::unique_ptr<Transport> transport;
  switch (row.transport) {
    case TransportKind::Ftp:
      transport = OpenFtpTransport(std::move(handle), hostRoot, limits, login);
      break;
    case TransportKind::Sftp:
      transport = OpenSftpTransport(std::move(handle), hostRoot, limits, login);
      break;
    case TransportKind::WebDav:
      transport = OpenWebDavTransport(std::move(handle), hostRoot, limits, login);
      break;
    case TransportKind::S3:
      transport = OpenS3Transport(std::move(handle), hostRoot, limits, login);
      break;
  }
  if (transport && !ParsesAsUrl(transport->rootUrl())) return nullptr;
  return transport;
}

Transport::Transport(CurlEasy handle, std::string rootUrl, TransferLimits limits, const SiteLogin& login)
    : handle_(std::move(handle)),
      rootUrl_(std::move(rootUrl)),
      limits_(std::make_unique<TransferLimits>(limits)),
      errors_(std::make_unique<CurlErrorBuffer>()),
      row_(RowOf(login.mode)),
      pinned_(!login.pin.empty()) {
  ApplyTransferLimits(handle_.get(), limits_.get());
  curl_easy_setopt(handle_.get(), CURLOPT_ERRORBUFFER, errors_->text.data());
}

Transport::~Transport() { Close(); }

// libcurl sends QUIT for a connection it still holds when the handle is cleaned up, but then on a
// handle of its own that knows none of our time-outs: a mute server would hold that for two
// minutes. So the transport closes the connection itself, through one last request on this
// handle that may not keep it (nothing new is sent but QUIT), under the transport's limits.
void Transport::Close() {
  if (!goodbyeOnClose_) {
    loggedIn_ = false;
    return;
  }
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
  PerformTransfer(h, *limits_);
  curl_easy_setopt(h, CURLOPT_NOBODY, 0L);
  curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 0L);
  curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, kAnswerSeconds);
  loggedIn_ = false;
}

CURLcode Transport::Perform() {
  CURL* h = handle_.get();
  errors_->Clear();
  if (limits_->stopRequested()) return CURLE_ABORTED_BY_CALLBACK;
  if (const CURLcode refused = Refusal(); refused != CURLE_OK) return refused;
  if (limits_->deadline != SteadyClock::time_point::max()) {
    // Whatever the step, it ends by the deadline, leaving closing its own short wait.
    const long left = limits_->RemainingMilliseconds() - kClosingMilliseconds;
    if (left <= 0) return CURLE_OPERATION_TIMEDOUT;
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, std::min(left, kWholeTransferTimeoutSeconds * 1000));
  }
  return PerformTransfer(h, *limits_);
}

Outcome Transport::OutcomeOf(CURLcode code) const {
  if (code == CURLE_OK) return Done();
  if (const KeyTrouble key = row_.key != PinnedKeyKind::None ? KeyTroubleOf(code, pinned_) : KeyTrouble::None;
      key != KeyTrouble::None) {
    std::string reason = CurlReason(code, errors_->text.data());
    if (key == KeyTrouble::Changed) reason = "the server's key changed: " + reason;
    return {OutcomeKind::ConnectFailed, std::move(reason), false, key};
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

std::string Transport::WireName(const std::string& cp932Name) const {
  return utf8_ ? Cp932ToUtf8(cp932Name) : cp932Name;
}

std::optional<std::string> Transport::LocalName(const std::string& wireName) const {
  return utf8_ ? Utf8ToCp932Exactly(wireName) : std::optional<std::string>(wireName);
}

Outcome Transport::Store(const std::filesystem::path& localFile, const std::string& remoteName) {
  if (!IsProtocolText(remoteName)) {
    return {OutcomeKind::TransferRefused, "a line break or NUL in the remote name", true};
  }
  if (Outcome login = LogIn(); !login.done()) return login;
  FilePtr file(std::fopen(localFile.c_str(), "rb"));
  // A folder opens too but reads as nothing; storing that would report an empty upload as done.
  std::error_code ec;
  if (!file || std::filesystem::is_directory(localFile, ec)) {
    return {OutcomeKind::TransferRefused, "the local file cannot be read", true};
  }
  const auto size = std::filesystem::file_size(localFile, ec);
  const curl_off_t known = ec ? curl_off_t{-1} : static_cast<curl_off_t>(size);

  CURL* h = handle_.get();
  curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(h, CURLOPT_READDATA, file.get());
  const CURLcode code = PerformStore(WireName(remoteName), known);
  // The file dies with this call; the handle must not point at it afterwards.
  curl_easy_setopt(h, CURLOPT_READDATA, nullptr);
  curl_easy_setopt(h, CURLOPT_UPLOAD, 0L);
  return OutcomeOf(code);
}

CURLcode Transport::PerformStore(const std::string& wireName, curl_off_t size) {
  CurlSlist typeAscii;
  if (row_.typeA) AppendTo(typeAscii, "TYPE A");
  CURL* h = handle_.get();
  curl_easy_setopt(h, CURLOPT_URL, UrlFor(wireName).c_str());
  curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, size);
  curl_easy_setopt(h, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
  curl_easy_setopt(h, CURLOPT_TRANSFERTEXT, 0L);
  curl_easy_setopt(h, CURLOPT_PREQUOTE, typeAscii.get());
  const CURLcode code = Perform();
  // The list dies with this call; the handle must not point at it afterwards.
  curl_easy_setopt(h, CURLOPT_PREQUOTE, nullptr);
  return code;
}

}  // namespace zepa2::net
